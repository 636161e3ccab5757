#include "platform/exceptions.h"
#include "store/record_tree.h"
#include "tests/support/failing_allocation.h"
#include "tests/support/store_fixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A record that notes its destruction, so tests can see what a directory deletes and when.
class CLoggedElem : public CUpdateElem {
public:
    CLoggedElem(std::vector<int>& log, int id) : m_log(log), m_id(id) {}
    ~CLoggedElem() override { m_log.push_back(m_id); }

private:
    std::vector<int>& m_log;
    int m_id;
};

std::vector<int> ChildKeys(const CUpdateDir& dir)
{
    std::vector<int> keys;
    for (const auto& child : dir.GetChildren())
        keys.push_back(child->m_nKey);
    return keys;
}

TEST(RecordTree, NewRecordsAreEmpty)
{
    CUpdateDir dir;
    EXPECT_EQ(dir.m_nKey, 0);
    EXPECT_EQ(dir.m_pData, nullptr);
    EXPECT_EQ(dir.m_nSize, 0u);
    EXPECT_TRUE(dir.GetChildren().empty());
    EXPECT_EQ(dir.Find(0), nullptr);
    dir.RemoveChild(0);
    EXPECT_TRUE(dir.GetChildren().empty());
}

TEST(RecordTree, KeysCountWithTheirLowSixteenBitsOnly)
{
    struct Case {
        int argument;
        WORD key;
    };
    const Case cases[] = {{17, 17}, {65536 + 17, 17}, {65536 + 4464, 4464}, {-1, 0xFFFF}, {0x7FFF0000, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        CUpdateDir dir;
        CUpdateElem* child = dir.AddChild(std::make_unique<CUpdateElem>(), c.argument);
        EXPECT_EQ(child->m_nKey, c.key);
        EXPECT_EQ(dir.Find(c.key), child);
        EXPECT_EQ(dir.Find(c.argument), child);
        EXPECT_EQ(dir.Find(c.key + 65536), child);
        dir.RemoveChild(c.key + 131072);
        EXPECT_EQ(dir.Find(c.key), nullptr);
    }
}

TEST(RecordTree, ChildrenKeepTheOrderInWhichTheyWereAdded)
{
    CUpdateDir dir;
    for (const int key : {9, 3, 7, 1})
        dir.AddChild(std::make_unique<CUpdateElem>(), key);
    EXPECT_EQ(ChildKeys(dir), (std::vector<int>{9, 3, 7, 1}));
    dir.RemoveChild(7);
    dir.AddChild(std::make_unique<CUpdateElem>(), 7);
    EXPECT_EQ(ChildKeys(dir), (std::vector<int>{9, 3, 1, 7}));
    dir.RemoveChild(8);
    EXPECT_EQ(ChildKeys(dir), (std::vector<int>{9, 3, 1, 7}));
}

TEST(RecordTree, OfDuplicateKeysTheFirstIsFoundAndRemovedFirst)
{
    CUpdateDir dir;
    CUpdateElem* first = dir.AddChild(std::make_unique<CUpdateElem>(), 5);
    dir.AddChild(std::make_unique<CUpdateElem>(), 6);
    CUpdateElem* second = dir.AddChild(std::make_unique<CUpdateElem>(), 5);
    EXPECT_EQ(dir.Find(5), first);

    dir.RemoveChild(5);
    EXPECT_EQ(dir.Find(5), second);
    EXPECT_EQ(ChildKeys(dir), (std::vector<int>{6, 5}));
    dir.RemoveChild(5);
    EXPECT_EQ(dir.Find(5), nullptr);
    EXPECT_EQ(ChildKeys(dir), (std::vector<int>{6}));
}

// The child that Find must return: the first in list order with the key.
const CUpdateElem* FirstInList(const CUpdateDir& dir, int key)
{
    for (const auto& child : dir.GetChildren())
        if (child->m_nKey == key)
            return child.get();
    return nullptr;
}

TEST(RecordTree, AFullKeySpaceWithDuplicatesKeepsListOrderThroughAddsAndRemovals)
{
    // Every 16-bit key once, then a second and third child for a few keys, then adds and
    // removals alternating under one key, so that its queue both grows and drains.
    CUpdateDir dir;
    for (int key = 0; key < 65536; ++key)
        dir.AddChild(std::make_unique<CUpdateElem>(), key);
    const int duplicated[] = {0, 7, 0xFFFF};
    for (int round = 0; round < 2; ++round)
        for (const int key : duplicated)
            dir.AddChild(std::make_unique<CUpdateElem>(), key + 65536);
    for (int i = 0; i < 50; ++i) {
        dir.AddChild(std::make_unique<CUpdateElem>(), 7);
        dir.AddChild(std::make_unique<CUpdateElem>(), 7);
        dir.RemoveChild(7);
        ASSERT_EQ(dir.Find(7), FirstInList(dir, 7)) << "round " << i;
    }
    EXPECT_EQ(dir.GetChildren().size(), 65536u + 6u + 50u);

    for (const int key : {0, 0xFFFF, 7}) {
        while (dir.Find(key)) {
            ASSERT_EQ(dir.Find(key), FirstInList(dir, key)) << "key " << key;
            dir.RemoveChild(key);
        }
        EXPECT_EQ(FirstInList(dir, key), nullptr) << "key " << key;
    }
    EXPECT_EQ(dir.GetChildren().size(), 65533u);
    EXPECT_EQ(dir.Find(1), FirstInList(dir, 1));
    EXPECT_EQ(dir.GetChildren().back()->m_nKey, 0xFFFEu);
}

TEST(RecordTree, DestroyingADirectoryDestroysItsSubtreeLastChildFirst)
{
    std::vector<int> log;
    {
        CUpdateDir root;
        CUpdateDir& group = AddGroup(root, 350);
        for (const int id : {1, 2, 3})
            group.AddChild(std::make_unique<CLoggedElem>(log, id), id);
        root.AddChild(std::make_unique<CLoggedElem>(log, 4), 4);
    }
    EXPECT_EQ(log, (std::vector<int>{4, 3, 2, 1}));
}

TEST(RecordTree, RemoveChildDeletesTheChildWithItsSubtree)
{
    std::vector<int> log;
    CUpdateDir root;
    CUpdateDir& group = AddGroup(root, 350);
    group.AddChild(std::make_unique<CLoggedElem>(log, 1), 1);
    group.AddChild(std::make_unique<CLoggedElem>(log, 2), 2);
    root.RemoveChild(350);
    EXPECT_EQ(log, (std::vector<int>{2, 1}));
    EXPECT_TRUE(root.GetChildren().empty());
}

TEST(RecordTree, SetDataReplacesTheBlobOfTheSameRecord)
{
    CUpdateDir dir;
    CUpdateElem& record = AddRecord(dir, 17, Blob(10, 1));
    const Bytes replacement = Blob(3, 2);
    record.SetData(replacement.data(), 3);
    EXPECT_EQ(dir.Find(17), &record);
    EXPECT_EQ(RecordBytes(record), replacement);
    EXPECT_EQ(record.m_nSize, 3u);

    record.SetData(nullptr, 0);
    EXPECT_EQ(record.m_pData, nullptr);
    EXPECT_EQ(record.m_nSize, 0u);
}

TEST(RecordTree, SetDataThatCannotAllocateLeavesNoBuffer)
{
    CUpdateElem record;
    const Bytes old = Blob(10, 1);
    record.SetData(old.data(), 10);
    const Bytes big = Blob(4000, 2);
    FailingArrayAllocation failing(big.size());
    EXPECT_THROW(record.SetData(big.data(), static_cast<DWORD>(big.size())), CMemoryException);
    EXPECT_TRUE(failing.Fired());
    EXPECT_EQ(record.m_pData, nullptr);
    EXPECT_EQ(record.m_nSize, 0u);
}

TEST(RecordTree, RuntimeClassesAreTheArchivedOnes)
{
    const CUpdateElem elem;
    const CUpdateDir dir;
    EXPECT_EQ(elem.GetRuntimeClass(), RUNTIME_CLASS(CUpdateElem));
    EXPECT_EQ(dir.GetRuntimeClass(), RUNTIME_CLASS(CUpdateDir));
    EXPECT_TRUE(dir.IsKindOf(RUNTIME_CLASS(CUpdateElem)));
    EXPECT_FALSE(elem.IsKindOf(RUNTIME_CLASS(CUpdateDir)));
    EXPECT_STREQ(RUNTIME_CLASS(CUpdateElem)->m_lpszClassName, "CUpdateElem");
    EXPECT_STREQ(RUNTIME_CLASS(CUpdateDir)->m_lpszClassName, "CUpdateDir");
    EXPECT_EQ(RUNTIME_CLASS(CUpdateElem)->m_wSchema, 1u);
    EXPECT_EQ(RUNTIME_CLASS(CUpdateDir)->m_wSchema, 1u);
}

TEST(RecordTree, OnlyTheExactClassNamesAreRegistered)
{
    struct Case {
        std::string name;
        const CRuntimeClass* cls;
    };
    const Case cases[] = {
        {"CUpdateElem", RUNTIME_CLASS(CUpdateElem)},
        {"CUpdateDir", RUNTIME_CLASS(CUpdateDir)},
        {"CUPDATEDIR", nullptr},
        {"cUpdateElem", nullptr},
        {"CUpdateDir ", nullptr},
        {"CUpdateEle", nullptr},
        {std::string("CUpdateDir\0", 11), nullptr},
        {"CObject", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindRecordClass(c.name.data(), static_cast<UINT>(c.name.size())), c.cls) << '"' << c.name << '"';
}

// ---- bodies ----

TEST(RecordBody, ElementBodyIsKeySizeAndBlob)
{
    struct Case {
        int key;
        Bytes blob;
    };
    const Case cases[] = {{14, Blob(6, 3)}, {5, {}}, {0xFFFF, Blob(1, 9)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        CUpdateDir holder;
        CUpdateElem& record = AddRecord(holder, c.key, c.blob);
        const Bytes expected = StreamBuilder().Word(static_cast<std::uint32_t>(c.key))
                                   .Dword(static_cast<std::uint32_t>(c.blob.size()))
                                   .Append(c.blob);
        EXPECT_EQ(StoreBody(record), expected);

        CUpdateElem loaded;
        LoadBody(loaded, expected);
        EXPECT_EQ(loaded.m_nKey, c.key);
        EXPECT_EQ(loaded.m_nSize, c.blob.size());
        EXPECT_EQ(RecordBytes(loaded), c.blob);
        EXPECT_EQ(loaded.m_pData == nullptr, c.blob.empty()) << "a zero-size blob loads as no buffer";
    }
}

TEST(RecordBody, LoadingReplacesTheBlobAnElementHad)
{
    CUpdateDir holder;
    CUpdateElem& record = AddRecord(holder, 3, Blob(20, 1));
    LoadBody(record, StreamBuilder().Word(5).Dword(0));
    EXPECT_EQ(record.m_nKey, 5);
    EXPECT_EQ(record.m_pData, nullptr);
    EXPECT_EQ(record.m_nSize, 0u);
}

TEST(RecordBody, DirectoryBodyNeverCarriesBlobBytes)
{
    CUpdateDir dir;
    dir.m_nKey = 350;
    const Bytes stray = Blob(4, 1);
    dir.SetData(stray.data(), 4);
    EXPECT_EQ(StoreBody(dir), StreamBuilder().Word(350).Word(0).bytes());
}

TEST(RecordBody, LoadedChildrenFollowTheOnesADirectoryHad)
{
    CUpdateDir dir;
    AddRecord(dir, 1, Blob(2, 1));
    LoadBody(dir, StreamBuilder().Word(7).Word(2).NewClass("CUpdateElem").Word(2).Dword(0).Word(0x8001).Word(3).Dword(0));
    EXPECT_EQ(dir.m_nKey, 7);
    EXPECT_EQ(ChildKeys(dir), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(dir.Find(3), dir.GetChildren().back().get());
}

}  // namespace
