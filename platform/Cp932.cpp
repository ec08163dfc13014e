#include "platform/Cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

namespace {

// ICU's Microsoft variant: 0x5C is the backslash and 0x8160 the full-width
// tilde, as Windows has them.
constexpr char CodecName[] = "windows-31j";

// Each call converts a complete text, never a piece of a longer one.
constexpr QStringConverter::Flags WholeText = QStringConverter::Flag::Stateless;

} // namespace

QString FromCp932(const std::string &bytes)
{
    QStringDecoder decoder(CodecName, WholeText);
    return decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string ToCp932(const QString &text)
{
    QStringEncoder encoder(CodecName, WholeText);
    const QByteArray bytes = encoder(text);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool Cp932CanHold(const QString &text)
{
    QStringEncoder encoder(CodecName, WholeText);
    const QByteArray bytes = encoder(text);
    // The substitute bytes decode to U+FFFD, so a text holding U+FFFD itself
    // would come back unchanged; only the encoder's error tells.
    if (encoder.hasError())
        return false;
    // The encoder drops a lone surrogate without reporting it.
    QStringDecoder decoder(CodecName, WholeText);
    return QString(decoder(bytes)) == text;
}

} // namespace platform
