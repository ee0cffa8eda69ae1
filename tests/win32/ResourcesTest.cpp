#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The program's resources as Windows reads them from the built executable:
// its version record, its icon and its manifest.

namespace {

std::filesystem::path ProgramPath() {
    return std::filesystem::path(KOV_PROGRAM_DIR) / std::filesystem::path(u8"KOV调节显示器.exe");
}

class VersionRecord {
public:
    explicit VersionRecord(const std::filesystem::path& file) {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
        if (size != 0) {
            data_.resize(size);
            if (GetFileVersionInfoW(file.c_str(), 0, size, data_.data()) == FALSE) {
                data_.clear();
            }
        }
    }

    bool Exists() const { return !data_.empty(); }

    std::wstring Text(std::wstring_view block, std::wstring_view name) const {
        const std::wstring query =
            L"\\StringFileInfo\\" + std::wstring(block) + L"\\" + std::wstring(name);
        void* value = nullptr;
        UINT length = 0;
        if (VerQueryValueW(data_.data(), query.c_str(), &value, &length) == FALSE ||
            value == nullptr) {
            return L"<missing>";
        }
        return std::wstring(static_cast<const wchar_t*>(value)).substr(0, length);
    }

    std::vector<std::uint16_t> Translation() const {
        void* value = nullptr;
        UINT length = 0;
        if (VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &value, &length) == FALSE) {
            return {};
        }
        const auto* words = static_cast<const std::uint16_t*>(value);
        return {words, words + length / sizeof(std::uint16_t)};
    }

    VS_FIXEDFILEINFO Fixed() const {
        void* value = nullptr;
        UINT length = 0;
        VS_FIXEDFILEINFO info{};
        if (VerQueryValueW(data_.data(), L"\\", &value, &length) != FALSE &&
            length >= sizeof info) {
            info = *static_cast<const VS_FIXEDFILEINFO*>(value);
        }
        return info;
    }

private:
    std::vector<char> data_;
};

TEST(ResourcesTest, VersionRecordNamesTheProgramInChineseUnicode) {
    const VersionRecord record(ProgramPath());
    ASSERT_TRUE(record.Exists()) << "no version record in " << ProgramPath();

    struct Field {
        std::wstring_view name;
        std::wstring_view value;
    };
    const Field fields[] = {
        {L"ProductName", L"KOV调节显示器"},
        {L"InternalName", L"KOV调节显示器"},
        {L"OriginalFilename", L"KOV调节显示器.exe"},
        {L"CompanyName", L"KOV工作室"},
        {L"FileVersion", L"1.00"},
        {L"ProductVersion", L"1.00"},
    };
    for (const Field& field : fields) {
        SCOPED_TRACE(std::string(field.name.begin(), field.name.end()));
        EXPECT_EQ(record.Text(L"080404b0", field.name), field.value);
    }
    EXPECT_EQ(record.Translation(), (std::vector<std::uint16_t>{0x0804, 1200}));

    const VS_FIXEDFILEINFO fixed = record.Fixed();
    EXPECT_EQ(fixed.dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(fixed.dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed.dwFileVersionLS, 0U);
    EXPECT_EQ(fixed.dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed.dwProductVersionLS, 0U);
    EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));
}

class ProgramImage {
public:
    ProgramImage()
        : module_(LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ProgramImage(const ProgramImage&) = delete;
    ProgramImage& operator=(const ProgramImage&) = delete;
    ~ProgramImage() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }

    HMODULE Get() const { return module_; }

    std::string_view Resource(LPCWSTR type, LPCWSTR name) const {
        const HRSRC found = FindResourceW(module_, name, type);
        if (found == nullptr) {
            return {};
        }
        const HGLOBAL loaded = LoadResource(module_, found);
        return {static_cast<const char*>(LockResource(loaded)), SizeofResource(module_, found)};
    }

private:
    HMODULE module_;
};

// The icon group of the program: one 32 x 32 image of 256 colours.
TEST(ResourcesTest, ProgramIconIsOne32By32ImageOf256Colours) {
    const ProgramImage image;
    ASSERT_NE(image.Get(), nullptr);
    const std::string_view group = image.Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(1));
    // A 6-byte header (reserved, type 1, count) and one 14-byte entry.
    ASSERT_EQ(group.size(), 6U + 14U);
    const auto* bytes = reinterpret_cast<const unsigned char*>(group.data());
    EXPECT_EQ(bytes[2], 1);  // an icon, not a cursor
    EXPECT_EQ(bytes[4], 1);  // one image
    EXPECT_EQ(bytes[6], 32);
    EXPECT_EQ(bytes[7], 32);
    EXPECT_EQ(bytes[12], 8);  // bits per pixel
}

TEST(ResourcesTest, ManifestAsksForCommonControlsSixPerMonitorDpiAndTheUsersRights) {
    const ProgramImage image;
    ASSERT_NE(image.Get(), nullptr);
    const std::string_view manifest = image.Resource(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty());
    for (const std::string_view expected :
         {std::string_view("Microsoft.Windows.Common-Controls"), std::string_view("6.0.0.0"),
          std::string_view("PerMonitorV2, PerMonitor"), std::string_view("true/pm"),
          std::string_view("level=\"asInvoker\"")}) {
        EXPECT_NE(manifest.find(expected), std::string_view::npos) << expected;
    }
}

}  // namespace
