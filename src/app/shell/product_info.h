#pragma once
// The product's identity as the periphery windows show it.

namespace veltrane {

// The page that Help > Content opens.
inline constexpr char kProductUrl[] = "https://veltrane.example/gateway-configuration";

#ifdef VELTRANE_VERSION
inline constexpr char kProductVersion[] = VELTRANE_VERSION;
#else
inline constexpr char kProductVersion[] = "0.0.0";
#endif

}  // namespace veltrane
