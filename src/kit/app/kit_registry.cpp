#include "kit_registry.h"

#include <Message.h>

#include <algorithm>
#include <unordered_map>

namespace kit {

namespace {
// The tables are never destroyed: a looper that quit by itself runs its
// last steps on a detached thread, which may still unregister while the
// process's static objects are being torn down after main() returns.
std::unordered_map<int32, BHandler*>& handlers() {
    static auto* table = new std::unordered_map<int32, BHandler*>();
    return *table;
}
std::vector<BLooper*>& looper_list() {
    static auto* list = new std::vector<BLooper*>();
    return *list;
}
std::vector<int32>& window_list() {
    static auto* list = new std::vector<int32>();
    return *list;
}
int32 next_token = 1;
} // namespace

std::mutex& registry_mutex() {
    static auto* mutex = new std::mutex();
    return *mutex;
}

int32 register_handler(BHandler* handler) {
    int32 token = next_token++;
    handlers()[token] = handler;
    return token;
}

void unregister_handler(int32 token) {
    handlers().erase(token);
}

BHandler* find_handler(int32 token) {
    auto it = handlers().find(token);
    return it == handlers().end() ? nullptr : it->second;
}

void register_looper(BLooper* looper) {
    looper_list().push_back(looper);
}

void unregister_looper(BLooper* looper) {
    auto& list = looper_list();
    list.erase(std::remove(list.begin(), list.end(), looper), list.end());
}

const std::vector<BLooper*>& loopers() {
    return looper_list();
}

void register_window(int32 token) {
    window_list().push_back(token);
}

void unregister_window(int32 token) {
    auto& list = window_list();
    list.erase(std::remove(list.begin(), list.end(), token), list.end());
}

std::vector<int32> window_tokens() {
    return window_list();
}

reply_slot::~reply_slot() {
    delete reply;
}

} // namespace kit
