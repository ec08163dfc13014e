#include "platform/StringList.h"

#include "platform/FileReplacement.h"
#include "platform/FileStream.h"

namespace platform {

void TStringList::SetText(std::string_view text)
{
    Lines.clear();
    text = text.substr(0, text.find('\0'));
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            Lines.emplace_back(text.substr(start));
            break;
        }
        Lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
}

std::string TStringList::Text() const
{
    std::string text;
    for (const std::string &line : Lines)
        text += line + "\r\n";
    return text;
}

void TStringList::LoadFromFile(const std::string &fileName)
{
    TFileStream stream(fileName);
    std::string content(static_cast<size_t>(stream.Size()), '\0');
    stream.ReadBuffer(content.data(), content.size());
    SetText(content);
}

void TStringList::SaveToFile(const std::string &fileName) const
{
    TFileReplacement file(fileName);
    const std::string text = Text();
    file.WriteBuffer(text.data(), text.size());
    file.Commit();
}

} // namespace platform
