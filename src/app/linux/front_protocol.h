#pragma once

#include "app/single_instance.h"

#include <QByteArray>

#include <optional>

namespace kivo {

// What a later start and the running Kivo say over the socket: one line asking the window to come
// to the front, with the launcher's tokens, and one line of answer.
inline constexpr char kCameToFront[] = "raised\n";
inline constexpr char kAskedOnly[] = "asked\n";
// A request is one short line, sent as soon as the asker connects; anything longer is no request.
inline constexpr qint64 kLongestRequest = 4096;

QByteArray requestLine(const LaunchTokens& tokens);
// The tokens a request carries, or nothing when the line is no request.
std::optional<LaunchTokens> tokensOfRequest(const QByteArray& line);

}  // namespace kivo
