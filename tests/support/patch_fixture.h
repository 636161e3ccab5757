// The patch of a real book in a temporary folder: the engine and book images, the paths
// of the book (written before each test), its new file and its backup, the captured
// messages, and what a correct upgrade looks like.
#pragma once

#include "patch/patch_operation.h"
#include "tests/support/book_builder.h"
#include "tests/support/message_capture.h"
#include "tests/support/pe_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

class PatchOperationTest : public ::testing::Test {
protected:
    TempDir dir;
    // The engine carries both icon slots: 32x32 under id 1, 16x16 under id 2.
    PeImage engine = PeBuilder().AddIconSet({Icon32(1), Icon16(2)}, 10).Build();
    PeImage bookImage = PeBuilder().AddIconSet({Icon32(1), Icon16(2)}, 50).Build();
    std::string book = dir.Path("guide.exe");
    std::string newPath = dir.Path("guide_new.exe");
    std::string backup = dir.Path("guide.exe.bak");
    MessageCapture messages;
    CContentCopier copier;

    void SetUp() override { WriteBook(book, bookImage.bytes, StandardCatalogue()); }

    BOOL Patch(const std::string& path)
    {
        CPatchOperation operation(copier, {engine.bytes.data(), static_cast<DWORD>(engine.bytes.size())});
        return operation.Run(path.c_str());
    }

    // The engine image with the book's two icon images in its own slots.
    Bytes UpgradedImage(const PeImage& from) const
    {
        auto image = [&](const PeImage& pe, std::uint16_t id) {
            const PeResourcePlacement& p = pe.Find(kRtIcon, id);
            return Bytes(pe.bytes.begin() + p.data, pe.bytes.begin() + p.data + p.size);
        };
        Bytes upgraded = engine.bytes;
        for (const std::uint16_t id : {1, 2}) {
            const Bytes icon = image(from, id);
            std::copy(icon.begin(), icon.end(), upgraded.begin() + engine.Find(kRtIcon, id).data);
        }
        return upgraded;
    }

    void ExpectUpgraded(const std::string& path, const std::vector<BookRecord>& records)
    {
        const Bytes bytes = ReadFileBytes(path);
        const Bytes image = UpgradedImage(bookImage);
        ASSERT_GT(bytes.size(), image.size() + 6);
        EXPECT_TRUE(std::equal(image.begin(), image.end(), bytes.begin())) << "engine image with the book's icons";
        const size_t n = bytes.size();
        const std::uint32_t base = bytes[n - 6] | bytes[n - 5] << 8 | bytes[n - 4] << 16 | bytes[n - 3] << 24;
        EXPECT_EQ(base, image.size()) << "the tree stands right behind the engine image";
        EXPECT_EQ(bytes[n - 2], 'K');
        EXPECT_EQ(bytes[n - 1], 'G');
        EXPECT_EQ(ReadBookRecords(path), records);
    }
};
