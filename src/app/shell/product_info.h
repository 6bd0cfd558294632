#pragma once
// The product's identity as the periphery windows show it.

namespace veltrane {

// The page that Help > Content opens.
inline constexpr char kProductUrl[] = "https://veltrane.example/gateway-configuration";

// The version the build was configured with.
const char* productVersion();

}  // namespace veltrane
