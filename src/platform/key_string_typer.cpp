#include "platform/key_string_typer.h"

#include "platform/messages.h"
#include "platform/windows1252.h"

#include <utility>

namespace kivo {

void KeyStringTyper::type(const KeyString& keys, const TypeStroke& typeStroke)
{
    if (!keys.error().empty()) {
        report(keys.text(), keys.error());
        return;
    }
    std::string problem;
    for (const KeyStroke& stroke : keys.strokes()) {
        std::string untyped;
        if (stroke.kind == KeyStroke::Kind::Character && !windows1252Defines(stroke.character))
            untyped = "Windows-1252 has no character for the byte " + readableFromWindows1252({&stroke.character, 1});
        else
            untyped = typeStroke(stroke);
        if (!untyped.empty()) {
            problem = std::move(untyped);
        }
    }
    if (!problem.empty()) {
        report(keys.text(), problem);
    }
}

// A string held on a button arrives every tick, so each problem is told once. The keys are a
// caption's Windows-1252 bytes, which a terminal shows only as UTF-8, and an undefined byte not
// at all.
void KeyStringTyper::report(const std::string& keys, std::string_view problem)
{
    if (keys == lastReported_) {
        return;
    }
    lastReported_ = keys;
    reportProblem("cannot type \"" + readableFromWindows1252(keys) + "\": " + utf8FromWindows1252(problem));
}

}  // namespace kivo
