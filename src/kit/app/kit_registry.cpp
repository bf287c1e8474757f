#include "kit_registry.h"

#include <Message.h>

#include <algorithm>
#include <unordered_map>

namespace kit {

namespace {
std::unordered_map<int32, BHandler*>& handlers() {
    static std::unordered_map<int32, BHandler*> table;
    return table;
}
std::vector<BLooper*>& looper_list() {
    static std::vector<BLooper*> list;
    return list;
}
std::vector<int32>& window_list() {
    static std::vector<int32> list;
    return list;
}
int32 next_token = 1;
} // namespace

std::mutex& registry_mutex() {
    static std::mutex mutex;
    return mutex;
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
