#include "window/qt/windows1252.h"

#include "platform/messages.h"

#include <QStringDecoder>

namespace kivo {

QString fromWindows1252(std::string_view bytes)
{
    // Qt offers Windows-1252 only when it is built with ICU. Without it, Latin-1 shows every
    // byte but 0x80 to 0x9F the same, which beats showing nothing.
    static QStringDecoder decoder("windows-1252");
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!decoder.isValid()) {
        static bool warned = false;
        if (!warned)
            reportProblem("this Qt has no Windows-1252 codec; captions are shown as Latin-1");
        warned = true;
        return QString::fromLatin1(view);
    }
    QString text = decoder.decode(view);
    decoder.resetState();
    return text;
}

}  // namespace kivo
