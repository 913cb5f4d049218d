// ReadFileVersion on real files: which three numbers it takes, the files it
// finds no version in, and the failures of its buffer and of the version calls.
#include <gtest/gtest.h>

#include "DeployFixture.h"
#include "Seam.h"
#include "deploy/FileVersion.h"

namespace {

class FileVersionTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = deploy::ScratchRoot();
        RemoveTree(root);
        folder = deploy::MakeFolder(root, "Version Files");
    }
    void TearDown() override { RemoveTree(root); }

    // Read with a sentinel in place, so that an unwritten field shows.
    VersionResult Read(const std::string& path, FileVersion* version) {
        version->major = version->minor = version->build = 0xBEEF;
        return ReadFileVersion(path.c_str(), version);
    }

    std::string root;
    std::string folder;
};

TEST_F(FileVersionTest, TakesMajorMinorAndBuildOfTheFileVersion) {
    struct Case {
        const char* fileVersion;
        WORD major, minor, build;
    };
    const Case cases[] = {
        {"6.0.8447.0", 6, 0, 8447},
        {"4.1.17.9", 4, 1, 17},          // the fourth number is not part of it
        {"65535.65534.65533.65532", 65535, 65534, 65533},
        {"0.0.0.0", 0, 0, 0},            // read, even though it is all zero
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileVersion);
        std::string path = deploy::Join(folder, "Versioned.dll");
        deploy::WriteVersioned(path, c.fileVersion);
        FileVersion version;
        ASSERT_EQ(Read(path, &version), kVersionRead);
        EXPECT_EQ(version.major, c.major);
        EXPECT_EQ(version.minor, c.minor);
        EXPECT_EQ(version.build, c.build);
    }
}

TEST_F(FileVersionTest, BufferHasExactlyTheSizeOfTheVersionBlock) {
    std::string path = deploy::Join(folder, "Versioned.dll");
    deploy::WriteVersioned(path, "1.2.3.4");
    DWORD handle;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_NE(size, 0u);

    FileVersion version;
    ASSERT_EQ(Read(path, &version), kVersionRead);
    std::vector<seam::Call> allocations = seam::CallsOf("HeapAlloc");
    ASSERT_EQ(allocations.size(), 1u);
    EXPECT_EQ(allocations[0].args[0], seam::Num(size));
    std::vector<seam::Call> reads = seam::CallsOf("VersionInfo");
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].args[1], seam::Num(size));
    std::vector<seam::Call> queries = seam::CallsOf("VersionQuery");
    ASSERT_EQ(queries.size(), 1u);
    EXPECT_EQ(queries[0].args[0], "\\");
}

TEST_F(FileVersionTest, FilesWithoutVersionGiveNoVersionAndZero) {
    std::string text = deploy::Join(folder, "Readme.txt");
    deploy::WriteBytes(text, "no version resource in here\r\n");
    const std::string paths[] = {deploy::Join(folder, "Missing.dll"), text};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        SetLastError(0);
        FileVersion version;
        EXPECT_EQ(Read(path, &version), kVersionMissing);
        EXPECT_EQ(version.major, 0);
        EXPECT_EQ(version.minor, 0);
        EXPECT_EQ(version.build, 0);
        EXPECT_NE(GetLastError(), 0u) << "the caller's message needs the reason";
        EXPECT_EQ(seam::Count("HeapAlloc"), 0);
        seam::Reset();
    }
}

TEST_F(FileVersionTest, NoMemoryForTheBuffer) {
    std::string path = deploy::Join(folder, "Versioned.dll");
    deploy::WriteVersioned(path, "1.2.3.4");
    seam::Fail("HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, 1);
    FileVersion version;
    EXPECT_EQ(Read(path, &version), kVersionNoMemory);
    EXPECT_EQ(version.major, 0);
    EXPECT_EQ(seam::Count("VersionInfo"), 0);
}

// A size without a readable block or fixed information counts as no version;
// the error that the caller will show survives the freeing of the buffer.
TEST_F(FileVersionTest, FailedReadOrQueryGivesNoVersion) {
    struct Case {
        const char* fn;
        DWORD error;
        DWORD shownError;  // 0: any error but 0
    };
    const Case cases[] = {
        {"VersionInfo", ERROR_SHARING_VIOLATION, ERROR_SHARING_VIOLATION},
        {"VersionQuery", ERROR_SUCCESS, 0},
    };
    std::string path = deploy::Join(folder, "Versioned.dll");
    deploy::WriteVersioned(path, "1.2.3.4");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fn);
        seam::Reset();
        seam::Fail(c.fn, c.error);
        FileVersion version;
        EXPECT_EQ(Read(path, &version), kVersionMissing);
        EXPECT_EQ(version.major, 0);
        EXPECT_EQ(version.build, 0);
        if (c.shownError) EXPECT_EQ(GetLastError(), c.shownError);
        else EXPECT_NE(GetLastError(), 0u);
    }
}

}  // namespace
