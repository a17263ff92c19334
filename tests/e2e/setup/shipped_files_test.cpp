// What the setup ships, read as Windows reads it: the help files through the HTML Help
// storage (ITSS), the manifests and version resources from the built programs.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/program_dir.h"

using Texts = std::vector<std::string>;

// The HTML Help storage system's interface (itss.dll); its header is not part of mingw-w64.
// Outside the anonymous namespace: there the compiler would see no implementation of it
// and drop the calls.
struct IITStorage : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR*, IStorage*, DWORD, SNB, DWORD, IStorage**) = 0;
};

namespace {

const CLSID kClsidItStorage = {0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
const IID kIidItStorage = {0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// A compiled help file opened for reading; Read returns "<missing>" for an absent stream.
class HelpFile {
public:
    explicit HelpFile(const std::string& path) {
        IITStorage* its = nullptr;
        if (FAILED(CoCreateInstance(kClsidItStorage, nullptr, CLSCTX_INPROC_SERVER, kIidItStorage,
                                    reinterpret_cast<void**>(&its))))
            return;
        its->StgOpenStorage(Wide(path).c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &storage_);
        its->Release();
    }
    ~HelpFile() {
        if (storage_) storage_->Release();
    }
    bool Open() const { return storage_ != nullptr; }

    std::string Read(const std::string& name) const {
        IStream* stream = nullptr;
        if (!storage_ || FAILED(storage_->OpenStream(Wide(name).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                                     &stream)))
            return "<missing>";
        std::string text;
        char buf[4096];
        ULONG got = 0;
        while (SUCCEEDED(stream->Read(buf, sizeof buf, &got)) && got > 0) text.append(buf, got);
        stream->Release();
        return text;
    }

    // The default topic from the #SYSTEM records (code 2): code, length, data.
    std::string DefaultTopic() const {
        const std::string sys = Read("#SYSTEM");
        for (size_t at = 4; at + 4 <= sys.size();) {
            const unsigned code = static_cast<unsigned char>(sys[at]) | static_cast<unsigned char>(sys[at + 1]) << 8;
            const size_t length = static_cast<unsigned char>(sys[at + 2]) | static_cast<unsigned char>(sys[at + 3]) << 8;
            if (at + 4 + length > sys.size()) break;
            if (code == 2) return std::string(sys.c_str() + at + 4);
            at += 4 + length;
        }
        return "<none>";
    }

private:
    IStorage* storage_ = nullptr;
};

// The topic file the contents give for an entry named `name`.
std::string ContentsTopic(const std::string& contents, const std::string& name) {
    const std::string entry = "<param name=\"Name\" value=\"" + name + "\"><param name=\"Local\" value=\"";
    const size_t at = contents.find(entry);
    if (at == std::string::npos) return "<not in contents>";
    const size_t start = at + entry.size();
    return contents.substr(start, contents.find('"', start) - start);
}

std::string Title(const std::string& html) {
    const size_t start = html.find("<title>"), end = html.find("</title>");
    return start == std::string::npos || end == std::string::npos ? "<no title>" : html.substr(start + 7, end - start - 7);
}

// The monitor window's tab texts, from Skyvane's string table.
Texts TabTexts() {
    HMODULE skyvane = LoadLibraryExA((ProductDir() + "Skyvane.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    Texts tabs;
    for (UINT id = 61204; id <= 61208; ++id) {
        char text[64] = {};
        LoadStringA(skyvane, id, text, sizeof text);
        tabs.push_back(text);
    }
    if (skyvane) FreeLibrary(skyvane);
    return tabs;
}

std::string Resource(HMODULE module, WORD id, LPCSTR type) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return data ? std::string(data, SizeofResource(module, found)) : "<no resource>";
}

std::string VersionString(const std::string& file, const char* name) {
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(file.c_str(), &ignored));
    if (info.empty() || !GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(info.size()), info.data()))
        return "<no version resource>";
    // The strings stand under the file's first language and code page: 1200 (Unicode) in
    // our programs and the Unicode setup, 1252 in the ANSI setup.
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < 2 * sizeof(WORD))
        return "<no translation>";
    char block[40];
    wsprintfA(block, "\\StringFileInfo\\%04X%04X\\", translation[0], translation[1]);
    char* value = nullptr;
    const std::string path = block + std::string(name);
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return "<no " + std::string(name) + ">";
    return value;
}

// The fixed part of a version resource: file and product versions and the system it is for.
std::string FixedInfo(const std::string& file) {
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(file.c_str(), &ignored));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (info.empty() || !GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(info.size()), info.data()) ||
        !VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length))
        return "<no version resource>";
    char text[128];
    wsprintfA(text, "file %08lX.%08lX product %08lX.%08lX os %08lX", fixed->dwFileVersionMS, fixed->dwFileVersionLS,
              fixed->dwProductVersionMS, fixed->dwProductVersionLS, fixed->dwFileOS);
    return text;
}

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(ShippedFiles, EachHelpFileHasATopicForEveryPageOfTheMonitorWindow) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    const Texts tabs = TabTexts();
    ASSERT_EQ((Texts{"Configuration", "Status", "IP Settings", "Site Survey", "About"}), tabs);
    for (const char* model : {"54", "108"}) {
        SCOPED_TRACE(model);
        const HelpFile help(ProductDir() + "Wevo_" + model + "_Help.chm");
        ASSERT_TRUE(help.Open());
        const std::string adapter = std::string("Telvara Wevo ") + model + " Wireless LAN Adapter";
        // Help opens the file itself, which shows the default topic.
        const std::string overview = help.Read(help.DefaultTopic());
        EXPECT_EQ("Telvara WLAN Adapter Monitor", Title(overview));
        EXPECT_NE(std::string::npos, overview.find(adapter));
        const std::string contents = help.Read("contents.hhc");
        for (const std::string& tab : tabs) {
            const std::string topic = help.Read(ContentsTopic(contents, tab));
            EXPECT_EQ(tab, Title(topic));
            EXPECT_NE(std::string::npos, overview.find(">" + tab + "</a>")) << tab << " is not linked from the overview";
        }
        EXPECT_EQ("<missing>", help.Read("no_such_topic.htm"));
    }
    CoUninitialize();
}

// Every version resource carries the project's one version, the same maker and the same
// product (Drivora's product name is its own); the setup's version information too. A
// program's manifest asks for common controls 6 and its execution level in the form Windows
// XP SP2 accepts, and names Vista to 10; the library has none.
TEST(ShippedFiles, VersionResourcesAgreeAndEveryProgramCarriesItsManifest) {
    const std::string product = "Telvara WLAN Adapter Monitor";
    struct Binary {
        const char* name;
        const char* level;  // requested execution level; null: no manifest
        std::string product;
    };
    const Binary binaries[] = {
        {"Skyvane.exe", "asInvoker", product},
        {"Drivora.exe", "requireAdministrator", "Install IEEE 802.11 Wireless LAN Application"},
        {"Qorvath.exe", "asInvoker", product},
        {"athsim.exe", "asInvoker", product},
        {"athcfg11.dll", nullptr, product},
    };
    for (const Binary& b : binaries) {
        SCOPED_TRACE(b.name);
        const std::string file = ProductDir() + b.name;
        EXPECT_EQ(0, lstrcmpiA(b.name, VersionString(file, "OriginalFilename").c_str()));
        EXPECT_EQ(SKY_VERSION_TEXT, VersionString(file, "FileVersion"));
        EXPECT_EQ(SKY_VERSION_TEXT, VersionString(file, "ProductVersion"));
        EXPECT_EQ("Halvex", VersionString(file, "CompanyName"));
        EXPECT_EQ(b.product, VersionString(file, "ProductName"));
        EXPECT_EQ(FixedInfo(ProductDir() + "SkyvaneSetup.exe"), FixedInfo(file));

        HMODULE module = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, module);
        const std::string manifest = Resource(module, 1, MAKEINTRESOURCEA(24));
        const std::string isolationAware = Resource(module, 2, MAKEINTRESOURCEA(24));
        FreeLibrary(module);
        EXPECT_EQ("<no resource>", isolationAware);
        if (!b.level) {
            EXPECT_EQ("<no resource>", manifest);
            continue;
        }
        const std::string level =
            std::string("<requestedExecutionLevel level=\"") + b.level + "\" uiAccess=\"false\"/>";
        for (const std::string& part :
             {std::string("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string("<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v2\">"), level,
              std::string("<supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>"),
              std::string("<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>")})
            EXPECT_NE(std::string::npos, manifest.find(part)) << part << " not in\n" << manifest;
        EXPECT_EQ(5, Count(manifest, "<supportedOS "));
    }
    const std::string setup = ProductDir() + "SkyvaneSetup.exe";
    EXPECT_EQ(SKY_VERSION, VersionString(setup, "ProductVersion"));
    EXPECT_EQ("Halvex", VersionString(setup, "CompanyName"));
    EXPECT_EQ(product, VersionString(setup, "ProductName"));
}
