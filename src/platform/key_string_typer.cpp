#include "platform/key_string_typer.h"

#include "platform/messages.h"

#include <utility>

namespace kivo {

void KeyStringTyper::type(std::string_view keys, const TypeStroke& typeStroke)
{
    const ParsedKeyString parsed = parseKeyString(keys);
    if (!parsed.error.empty()) {
        report(keys, parsed.error);
        return;
    }
    std::string problem;
    for (const KeyStroke& stroke : parsed.strokes) {
        if (std::string untyped = typeStroke(stroke); !untyped.empty()) {
            problem = std::move(untyped);
        }
    }
    if (!problem.empty()) {
        report(keys, problem);
    }
}

// A string held on a button arrives every tick, so each problem is told once.
void KeyStringTyper::report(std::string_view keys, std::string_view problem)
{
    if (keys == lastReported_) {
        return;
    }
    lastReported_ = keys;
    reportProblem("cannot type \"" + std::string(keys) + "\": " + std::string(problem));
}

}  // namespace kivo
