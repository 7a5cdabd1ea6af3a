#pragma once
// A plain-string stand-in for the editing control: CP1251 text with CR LF line breaks, a
// selection, and a forward find with the control's rules for case and whole words.
#include <cctype>
#include <string>

#include "editing/find_replace.h"
#include "platform/codepage.h"

class FakeTarget : public editing::FindTarget {
  public:
    explicit FakeTarget(std::string text, int maxLength = 1 << 30)
        : text_(std::move(text)), maxLength_(maxLength) {}

    std::string text_;
    int selStart_ = 0;
    int selLength_ = 0;
    int maxLength_;
    mutable int finds = 0;

    int textLength() const override { return static_cast<int>(text_.size()); }
    int selStart() const override { return selStart_; }
    int selLength() const override { return selLength_; }
    int findText(QStringView unicode, int from, int to,
                 editing::SearchOptions options) const override {
        ++finds;
        const std::string text = platform::toCp1251(unicode);
        const int n = static_cast<int>(text.size());
        if (from < 0) from = 0;
        if (to > textLength()) to = textLength();
        for (int p = from; p + n <= to; ++p) {
            bool equal = true;
            for (int i = 0; i < n && equal; ++i) {
                unsigned char a = static_cast<unsigned char>(text_[static_cast<size_t>(p + i)]);
                unsigned char b = static_cast<unsigned char>(text[static_cast<size_t>(i)]);
                if (!options.matchCase) {
                    a = platform::upperCaseCp1251(a);
                    b = platform::upperCaseCp1251(b);
                }
                equal = a == b;
            }
            if (!equal) continue;
            if (options.wholeWord && (isWordChar(p - 1) || isWordChar(p + n))) continue;
            return p;
        }
        return -1;
    }
    void select(int start, int length) override {
        selStart_ = std::min(start, textLength());
        selLength_ = std::min(length, textLength() - selStart_);
    }
    void replaceSelection(QStringView unicode) override {
        const std::string text = platform::toCp1251(unicode);
        if (textLength() - selLength_ + static_cast<int>(text.size()) > maxLength_) return;
        text_.replace(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_), text);
        selStart_ += static_cast<int>(text.size());
        selLength_ = 0;
    }

  private:
    bool isWordChar(int p) const {
        if (p < 0 || p >= textLength()) return false;
        const unsigned char c = static_cast<unsigned char>(text_[static_cast<size_t>(p)]);
        return std::isalnum(c) || c >= 0xC0 || c == 0xA8 || c == 0xB8;
    }
};
