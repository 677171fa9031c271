// Reads a Windows deliverable's version resource back as Explorer and installers do, and checks
// that it carries no application manifest.
// Usage: version_resource_check.exe FILE VERSION PRODUCT DESCRIPTION
// FILE is named as it was built; its original file name must be that name without the folder.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int failures = 0;

void ExpectEqual(const char* what, const std::string& actual, const std::string& expected) {
    if (actual == expected) {
        std::printf("ok: %s: %s\n", what, actual.c_str());
    } else {
        std::printf("FAILED: %s: got [%s], expected [%s]\n", what, actual.c_str(),
                    expected.c_str());
        ++failures;
    }
}

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(value));
    return text;
}

// The two 32-bit halves of a version a.b.c.d, as the fixed part of the resource holds them.
void PackVersion(const char* version, DWORD* most, DWORD* least) {
    unsigned parts[4] = {0, 0, 0, 0};
    std::sscanf(version, "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]);
    *most = MAKELONG(parts[1], parts[0]);
    *least = MAKELONG(parts[3], parts[2]);
}

std::string StringValue(std::vector<char>& info, const std::string& block, const char* name) {
    void* value = NULL;
    UINT length = 0;
    const std::string path = "\\StringFileInfo\\" + block + "\\" + name;
    if (!::VerQueryValueA(info.data(), path.c_str(), &value, &length) || length == 0) {
        return "(none)";
    }
    return static_cast<const char*>(value);
}

BOOL CALLBACK CountName(HMODULE, LPCSTR, LPSTR, LONG_PTR count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::printf("usage: version_resource_check FILE VERSION PRODUCT DESCRIPTION\n");
        return 2;
    }
    const char* const file = argv[1];
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(file, &handle);
    std::vector<char> info(size == 0 ? 1 : size);
    if (size == 0 || !::GetFileVersionInfoA(file, 0, size, info.data())) {
        std::printf("FAILED: %s has no version resource\n", file);
        return 1;
    }

    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    if (!::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
        length < sizeof *fixed) {
        std::printf("FAILED: %s has no fixed version part\n", file);
        return 1;
    }
    DWORD most = 0;
    DWORD least = 0;
    PackVersion(argv[2], &most, &least);
    ExpectEqual("signature", Hex(fixed->dwSignature), Hex(VS_FFI_SIGNATURE));
    ExpectEqual("file version", Hex(fixed->dwFileVersionMS) + Hex(fixed->dwFileVersionLS),
                Hex(most) + Hex(least));
    ExpectEqual("product version", Hex(fixed->dwProductVersionMS) + Hex(fixed->dwProductVersionLS),
                Hex(most) + Hex(least));

    // The strings are looked up under the language and code page the resource names.
    WORD* translation = NULL;
    if (!::VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                          reinterpret_cast<void**>(&translation), &length) ||
        length < 2 * sizeof(WORD)) {
        std::printf("FAILED: %s names no translation\n", file);
        return 1;
    }
    char block[16];
    std::snprintf(block, sizeof block, "%04X%04X", translation[0], translation[1]);
    const char* const slash = std::strrchr(file, '\\');
    const char* const base = std::strrchr(slash != NULL ? slash : file, '/');
    const char* const name = base != NULL ? base + 1 : slash != NULL ? slash + 1 : file;
    ExpectEqual("FileVersion", StringValue(info, block, "FileVersion"), argv[2]);
    ExpectEqual("ProductVersion", StringValue(info, block, "ProductVersion"), argv[2]);
    ExpectEqual("ProductName", StringValue(info, block, "ProductName"), argv[3]);
    ExpectEqual("FileDescription", StringValue(info, block, "FileDescription"), argv[4]);
    ExpectEqual("OriginalFilename", StringValue(info, block, "OriginalFilename"), name);

    const HMODULE module = ::LoadLibraryExA(file, NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (module == NULL) {
        std::printf("FAILED: %s cannot be loaded as data\n", file);
        return 1;
    }
    int manifests = 0;
    ::EnumResourceNamesA(module, RT_MANIFEST, CountName, reinterpret_cast<LONG_PTR>(&manifests));
    ::FreeLibrary(module);
    ExpectEqual("application manifests", std::to_string(manifests), "0");
    return failures == 0 ? 0 : 1;
}
