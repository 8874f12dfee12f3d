#include "settings/u_filesys.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fakes/fake_filesystem.h"
#include "settings/u_inifile.h"

namespace fs = std::filesystem;

namespace {

const std::wstring Target = L"D:\\data\\Pulsery\\PulseryOpts.ini";
const std::string OldBytes =
    EncodeUtf16Le(L"[Options]\r\nCurLang=German\r\n\r\n[Keep]\r\nx=1\r\n\r\n");

// A fresh folder of its own under the system's temporary folder.
class RealFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Dir = fs::temp_directory_path() / (std::string("pulsery_fs_") + info->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }

  std::wstring Path(const char* name) const { return (Dir / name).wstring(); }
  static std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void Put(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  fs::path Dir;
  TFileSystem& Real = NativeFileSystem();
};

}  // namespace

TEST(AtomicWrite, FailuresLeaveTheOldFileWholeAndAreReported) {
  struct {
    const char* Name;
    bool DiskFull, ReplaceFails;
  } cases[] = {{"disk full", true, false}, {"target locked", false, true}};
  for (const auto& c : cases) {
    TFakeFileSystem files;
    files.Files[Target] = OldBytes;
    files.DiskFull = c.DiskFull;
    files.ReplaceFails = c.ReplaceFails;
    EXPECT_FALSE(IniWriteSection(files, Target, L"Options", {{L"CurLang", L"French"}})) << c.Name;
    EXPECT_EQ(files.Files[Target], OldBytes) << c.Name;
    EXPECT_EQ(files.Files.count(Target + L".tmp"), 0u) << c.Name << ": temporary file left";
  }
}

TEST(AtomicWrite, ANewFileLeftAsTheOnlyCopyIsMovedIntoPlace) {
  TFakeFileSystem files;
  files.Files[Target] = OldBytes;
  files.ReplaceDropsTarget = true;
  EXPECT_TRUE(IniWriteSection(files, Target, L"Options", {{L"CurLang", L"French"}}));
  EXPECT_EQ(DecodeIniText(files.Files[Target]),
            L"[Options]\r\nCurLang=French\r\n\r\n[Keep]\r\nx=1\r\n\r\n");
  EXPECT_EQ(files.Files.size(), 1u);
}

TEST(AtomicWrite, WritesTheTemporaryFileThenReplaces) {
  TFakeFileSystem files;
  files.Files[Target] = OldBytes;
  EXPECT_TRUE(IniWriteSection(files, Target, L"Options", {{L"CurLang", L"French"}}));
  const std::wstring temp = Target + L".tmp";
  EXPECT_EQ(files.Calls,
            (std::vector<std::wstring>{L"read " + Target, L"remove " + temp, L"write " + temp,
                                       L"replace " + temp + L" " + Target}));
  EXPECT_EQ(DecodeIniText(files.Files[Target]),
            L"[Options]\r\nCurLang=French\r\n\r\n[Keep]\r\nx=1\r\n\r\n");
}

TEST(AtomicWrite, AnUnreadableFileIsNeverRewrittenFromScratch) {
  TFakeFileSystem files;
  files.Files[Target] = OldBytes;
  files.Unreadable.insert(Target);
  EXPECT_FALSE(IniWriteSection(files, Target, L"Options", {{L"CurLang", L"French"}}));
  EXPECT_FALSE(IniEraseSection(files, Target, L"Keep"));
  EXPECT_EQ(files.Files[Target], OldBytes);
  EXPECT_EQ(files.Files.size(), 1u);
}

TEST(AtomicWrite, EraseSectionWritesOnlyWhenThereIsOne) {
  TFakeFileSystem files;
  files.Files[Target] = OldBytes;
  EXPECT_TRUE(IniEraseSection(files, Target, L"missing"));
  EXPECT_EQ(files.Calls.size(), 1u);  // the read only
  EXPECT_TRUE(IniEraseSection(files, Target, L"keep"));
  EXPECT_EQ(DecodeIniText(files.Files[Target]), L"[Options]\r\nCurLang=German\r\n\r\n");
}

TEST_F(RealFolder, FirstSaveAndReplacement) {
  const std::wstring path = Path("PulseryIntfs.ini");
  EXPECT_EQ(IniReadString(Real, path, L"S", L"K", L"def"), L"def");  // no file yet
  ASSERT_TRUE(IniWriteSection(Real, path, L"S", {{L"K", L"1"}, {L"L", L"2"}}));
  ASSERT_TRUE(IniWriteSection(Real, path, L"T", {{L"K", L"3"}}));
  EXPECT_EQ(Bytes(path), EncodeUtf16Le(L"[S]\r\nK=1\r\nL=2\r\n\r\n[T]\r\nK=3\r\n\r\n"));
  EXPECT_EQ(IniReadString(Real, path, L"s", L"l", L"def"), L"2");
  EXPECT_FALSE(fs::exists(path + L".tmp"));
  ASSERT_TRUE(IniEraseSection(Real, path, L"S"));
  EXPECT_EQ(Bytes(path), EncodeUtf16Le(L"[T]\r\nK=3\r\n\r\n"));
}

// Failures that no account can bypass, not even an administrator's.
TEST_F(RealFolder, FailedWritesAreReportedAndHarmless) {
  // The folder does not exist.
  const std::wstring nowhere = Path("missing/PulseryOpts.ini");
  EXPECT_FALSE(IniWriteSection(Real, nowhere, L"S", {{L"K", L"1"}}));
  EXPECT_FALSE(fs::exists(Dir / "missing"));

  // The target is a folder: it stays, with its content.
  const std::wstring folder = Path("PulseryOpts.ini");
  fs::create_directory(folder);
  Put(fs::path(folder) / "inside", "x");
  EXPECT_FALSE(IniWriteSection(Real, folder, L"S", {{L"K", L"1"}}));
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(Bytes(fs::path(folder) / "inside"), "x");
  EXPECT_FALSE(fs::exists(folder + L".tmp"));

  // A file stands where the folder should be.
  Put(Dir / "file", OldBytes);
  EXPECT_FALSE(IniWriteSection(Real, Path("file/PulseryOpts.ini"), L"S", {{L"K", L"1"}}));
  EXPECT_EQ(Bytes(Dir / "file"), OldBytes);
}

TEST_F(RealFolder, ReadsReportMissingAndFailed) {
  std::string bytes;
  EXPECT_EQ(Real.ReadAll(Path("none.ini"), bytes), TReadResult::Missing);
  EXPECT_EQ(Real.ReadAll(Path("none/x.ini"), bytes), TReadResult::Missing);
  fs::create_directory(Dir / "folder.ini");
  EXPECT_EQ(Real.ReadAll(Path("folder.ini"), bytes), TReadResult::Failed);
  EXPECT_TRUE(Real.FolderExists(Path("folder.ini")));
  EXPECT_FALSE(Real.FolderExists(Path("none")));
  EXPECT_TRUE(Real.MakeFolder(Path("none")));
  EXPECT_FALSE(Real.MakeFolder(Path("none")));
  EXPECT_FALSE(Real.MakeFolder(Path("a/b")));  // one level only
}

TEST(PathHelpers, DelimitersAndFolders) {
  EXPECT_EQ(IncludeTrailingPathDelimiter(L"C:\\x"), std::wstring(L"C:\\x") + PathDelim);
  EXPECT_EQ(IncludeTrailingPathDelimiter(L"C:\\x\\"), L"C:\\x\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter(L"/x/"), L"/x/");
  EXPECT_EQ(IncludeTrailingPathDelimiter(L""), std::wstring(1, PathDelim));
  EXPECT_EQ(ExtractFilePath(L"C:\\Program Files\\Pulsery\\pulsery.exe"),
            L"C:\\Program Files\\Pulsery\\");
  EXPECT_EQ(ExtractFilePath(L"/opt/pulsery/pulsery"), L"/opt/pulsery/");
  EXPECT_EQ(ExtractFilePath(L"C:pulsery.exe"), L"C:");
  EXPECT_EQ(ExtractFilePath(L"pulsery.exe"), L"");
}
