#include "platform/wayland/activation_token.h"

#include "kivo_version.h"
#include "xdg-activation-v1-client-protocol.h"

#include <wayland-client.h>

#include <poll.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace kivo {
namespace {

using Clock = std::chrono::steady_clock;

// The registry's globals, then the token: each comes one round trip after the last.
constexpr int kRoundTrips = 3;

void synced(void* data, wl_callback*, std::uint32_t)
{
    *static_cast<bool*>(data) = true;
}

constexpr wl_callback_listener kSyncListener{synced};

// wl_display_roundtrip, which waits for a compositor that never answers for ever, with a deadline.
bool roundTripBefore(wl_display* display, Clock::time_point deadline)
{
    bool done = false;
    const std::unique_ptr<wl_callback, decltype(&wl_callback_destroy)> sync(wl_display_sync(display),
                                                                            wl_callback_destroy);
    wl_callback_add_listener(sync.get(), &kSyncListener, &done);
    while (!done) {
        if (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0)
                return false;
            continue;
        }
        wl_display_flush(display);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd readable{wl_display_get_fd(display), POLLIN, 0};
        if (left.count() <= 0 || ::poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
            wl_display_cancel_read(display);
            return false;
        }
        if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0)
            return false;
    }
    return true;
}

struct TokenRequest {
    xdg_activation_v1* activation = nullptr;
    std::string token;
};

void globalAnnounced(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t)
{
    auto* request = static_cast<TokenRequest*>(data);
    if (request->activation == nullptr && std::strcmp(interface, xdg_activation_v1_interface.name) == 0) {
        request->activation =
            static_cast<xdg_activation_v1*>(wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
    }
}

void globalRemoved(void*, wl_registry*, std::uint32_t) {}

constexpr wl_registry_listener kRegistryListener{globalAnnounced, globalRemoved};

void tokenDone(void* data, xdg_activation_token_v1*, const char* token)
{
    static_cast<TokenRequest*>(data)->token = token;
}

constexpr xdg_activation_token_v1_listener kTokenListener{tokenDone};

}  // namespace

std::string activationTokenFromCompositor(std::chrono::milliseconds patience)
{
    const Clock::time_point deadline = Clock::now() + patience;
    const std::unique_ptr<wl_display, decltype(&wl_display_disconnect)> display(wl_display_connect(nullptr),
                                                                                wl_display_disconnect);
    if (!display)
        return {};
    TokenRequest request;
    wl_registry* registry = wl_display_get_registry(display.get());
    wl_registry_add_listener(registry, &kRegistryListener, &request);
    xdg_activation_token_v1* token = nullptr;
    for (int i = 0; i < kRoundTrips && request.token.empty(); ++i) {
        if (!roundTripBefore(display.get(), deadline))
            break;
        if (request.activation != nullptr && token == nullptr) {
            token = xdg_activation_v1_get_activation_token(request.activation);
            xdg_activation_token_v1_add_listener(token, &kTokenListener, &request);
            xdg_activation_token_v1_set_app_id(token, KIVO_APP_ID);
            xdg_activation_token_v1_commit(token);
        }
    }
    if (token != nullptr)
        xdg_activation_token_v1_destroy(token);
    if (request.activation != nullptr)
        xdg_activation_v1_destroy(request.activation);
    wl_registry_destroy(registry);
    return request.token;
}

}  // namespace kivo
