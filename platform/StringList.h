#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A list of lines of code page 932 bytes, read from and saved to files.
class TStringList {
public:
    int Count() const { return static_cast<int>(Lines.size()); }
    const std::string &operator[](int index) const { return Lines[static_cast<size_t>(index)]; }
    void Add(std::string line) { Lines.push_back(std::move(line)); }

    // Replaces the lines with those of the text. A line ends at CR, at LF or
    // at CR LF (one break); LF CR is two breaks. A NUL ends the text, and a
    // break at its very end adds no empty line.
    void SetText(std::string_view text);
    // Every line followed by CR LF.
    std::string Text() const;

    // The whole file, opened with exclusive sharing (TFileStream).
    void LoadFromFile(const std::string &fileName);
    // Text() in place of the file, whole or not at all (TFileReplacement).
    void SaveToFile(const std::string &fileName) const;

private:
    std::vector<std::string> Lines;
};

} // namespace platform
