#include "app/linux/front_protocol.h"

#include <QList>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace kivo {
namespace {

// "raise", then for each token a blank, its kind and its value, and a newline.
constexpr char kRequest[] = "raise";

struct TokenKind {
    const char* prefix;
    std::string LaunchTokens::*field;
};
constexpr TokenKind kTokenKinds[] = {{"activation=", &LaunchTokens::activation},
                                     {"startup=", &LaunchTokens::startupId}};

// Launchers make tokens of printable characters; anything else would not survive the request line.
bool passable(const std::string& token)
{
    return std::all_of(token.begin(), token.end(), [](unsigned char c) { return c > ' ' && c < 0x7f; });
}

}  // namespace

QByteArray requestLine(const LaunchTokens& tokens)
{
    QByteArray line(kRequest);
    for (const TokenKind& kind : kTokenKinds) {
        const std::string& token = tokens.*kind.field;
        if (!token.empty() && passable(token))
            line += ' ' + QByteArray(kind.prefix) + QByteArray::fromStdString(token);
    }
    return line + '\n';
}

std::optional<LaunchTokens> tokensOfRequest(const QByteArray& line)
{
    if (!line.endsWith('\n'))
        return std::nullopt;
    const QList<QByteArray> words = line.chopped(1).split(' ');
    if (words.front() != kRequest)
        return std::nullopt;
    LaunchTokens tokens;
    for (const QByteArray& word : words.sliced(1)) {
        const auto kind =
            std::ranges::find_if(kTokenKinds, [&](const TokenKind& k) { return word.startsWith(k.prefix); });
        if (kind == std::end(kTokenKinds))
            return std::nullopt;
        std::string token = word.mid(qsizetype(std::strlen(kind->prefix))).toStdString();
        if (!passable(token))
            return std::nullopt;
        tokens.*kind->field = std::move(token);
    }
    return tokens;
}

}  // namespace kivo
