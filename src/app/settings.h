// settings: values the program keeps between runs (window sizes and the
// like), in $XDG_CONFIG_HOME/tavrel/settings (~/.config/tavrel/settings
// when XDG_CONFIG_HOME is unset or not an absolute path).
//
// The file is plain text, one "key=value" per line. A missing or
// unreadable file, and every line that is not a well-formed key=value
// pair, count as unset: the caller's default applies. A change is written
// at once, merged into what the file holds then (another running tavrel
// may have written other keys) and replacing the file atomically, so a
// crash leaves the old file or the new one, never a mix.
//
// Shared by the windows' threads: every call takes the store's own lock.
#ifndef TAVREL_APP_SETTINGS_H
#define TAVREL_APP_SETTINGS_H

#include <SupportDefs.h>

#include <map>
#include <mutex>
#include <string>

class settings {
  public:
    // Keys are letters, digits, '.', '_' and '-', at most this long;
    // values are printable text without line breaks, at most this long.
    static constexpr size_t max_key = 64, max_value = 1024;
    // A larger file is not a settings file: it is ignored.
    static constexpr size_t max_file = 64 * 1024;

    // The store kept in `path`; its values are read now.
    explicit settings(std::string path);
    // $XDG_CONFIG_HOME/tavrel/settings, or ~/.config/tavrel/settings; empty
    // when neither variable names an absolute folder.
    static std::string default_path();

    const std::string& path() const { return fPath; }
    // The value of `key`, or `fallback` when it is unset.
    std::string get(const std::string& key, const std::string& fallback) const;
    // Sets `key` and writes the file. B_BAD_VALUE for a key or value the
    // file cannot hold (nothing changes); a failure to write leaves the
    // value set for this run and says why.
    status_t set(const std::string& key, const std::string& value, std::string* why = nullptr);

    static bool valid_key(const std::string& key);
    static bool valid_value(const std::string& value);

  private:
    // The pairs the file holds now (none when it cannot be read).
    std::map<std::string, std::string> read() const;

    std::string fPath;
    mutable std::mutex fLock;
    std::map<std::string, std::string> fValues;
};

#endif
