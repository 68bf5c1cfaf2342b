#pragma once

// The version is the project's (CMakeLists.txt), which also versions the plug-in binaries.
#ifndef VARDEKO_VERSION_STRING
    #error "VARDEKO_VERSION_STRING comes from the VardekoCore target"
#endif

// Identity of the product as the patch documents, the hosts and the messages name it.
// Identifiers that hosts or preset files store are never changed.
namespace ProductInfo
{
inline constexpr const char* name = "Vardeko QX2710";
inline constexpr const char* shortName = "QX2710";
inline constexpr const char* manufacturer = "Molvek";
inline constexpr const char* productId = "com.molvek.VardekoQX2710";
inline constexpr const char* version = VARDEKO_VERSION_STRING;
inline constexpr const char* documentVersion = "1.0";
inline constexpr const char* presetVersion = "1.0";
inline constexpr const char* presetExtension = ".mvkp";
inline constexpr const char* initPresetPath = "Init.mvkp";
inline constexpr const char* initProgramName = "Init";
inline constexpr const char* website = "https://www.molvek.com";
inline constexpr const char* downloadsPage = "https://www.molvek.com/downloads";
} // namespace ProductInfo
