// A text file read line by line, as the timeline and the score are: a UTF-8 byte order mark at its
// start is skipped and the "\r" of a "\r\n" dropped, so files saved on any system read alike.
#pragma once

#include <cstddef>
#include <string>

class TextLines {
public:
    explicit TextLines(const std::string& text)
        : text_(text), from_(text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0)
    {
    }

    // The next line into 'line'; false after the last.
    bool Next(std::string& line)
    {
        if (from_ >= text_.size()) return false;
        std::size_t to = text_.find('\n', from_);
        if (to == std::string::npos) to = text_.size();
        line.assign(text_, from_, to - from_);
        from_ = to + 1;
        ++number_;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }

    // The number of the line Next gave last, counted from 1; 0 before the first.
    int Number() const { return number_; }

private:
    const std::string& text_;
    std::size_t from_;
    int number_ = 0;
};
