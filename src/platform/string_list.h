#pragma once
// An ordered list of text lines loaded whole from a data file.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class StringList {
  public:
    // Loading splits at CR, LF or CR LF and stops at a NUL byte; a final line break adds
    // no entry; entries are not trimmed. Throws FileOpenError ("Cannot open file %s" with
    // the full path) when the file cannot be opened or read.
    void loadFromFile(const std::string& path);
    void setText(std::string_view text);

    // Sorts once, in place, case-insensitively in the user's locale order.
    void sort();

    // The text after the first "=" of the first entry whose text before that "=" equals
    // name, ignoring letter case; empty when there is none.
    std::string value(std::string_view name) const;
    // The text before the first "=" of an entry (empty when it has no "=").
    static std::string nameOf(const std::string& entry);

    void add(std::string entry) { items_.push_back(std::move(entry)); }
    void clear() { items_.clear(); }
    size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    const std::string& operator[](size_t i) const { return items_[i]; }
    const std::vector<std::string>& items() const { return items_; }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  private:
    std::vector<std::string> items_;
};

// Case-insensitive equality of two CP1251 texts (Latin and Cyrillic letters, ё/Ё included).
bool equalIgnoringCase(std::string_view a, std::string_view b);

} // namespace platform
