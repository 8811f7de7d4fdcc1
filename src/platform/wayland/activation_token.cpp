#include "platform/wayland/activation_token.h"

#include "kivo_version.h"
#include "xdg-activation-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace kivo {
namespace {

// The registry's globals, then the token: each comes one round trip after the last.
constexpr int kRoundTrips = 3;

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

std::string activationTokenFromCompositor()
{
    const std::unique_ptr<wl_display, decltype(&wl_display_disconnect)> display(wl_display_connect(nullptr),
                                                                                wl_display_disconnect);
    if (!display)
        return {};
    TokenRequest request;
    wl_registry* registry = wl_display_get_registry(display.get());
    wl_registry_add_listener(registry, &kRegistryListener, &request);
    xdg_activation_token_v1* token = nullptr;
    for (int i = 0; i < kRoundTrips && request.token.empty(); ++i) {
        if (wl_display_roundtrip(display.get()) < 0)
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
