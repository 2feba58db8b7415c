// Record list: order, positional access, removal and clearing.
#include <gtest/gtest.h>

#include "survey/RecordList.h"

namespace {

SurveyRecord* add(CRecordList& list, int32_t x) {
    SurveyRecord* r = nullptr;
    EXPECT_EQ(list.NewRecord(r), RL_OK);
    r->x = x;
    list.Append(r);
    return r;
}

int32_t xAt(const CRecordList& list, int32_t pos) {
    SurveyRecord* r = nullptr;
    return list.GetAt(r, pos) == RL_OK ? r->x : -1;
}

TEST(RecordList, NewListIsEmpty) {
    CRecordList list;
    SurveyRecord* r = reinterpret_cast<SurveyRecord*>(&list); // any non-null value
    EXPECT_EQ(list.GetAt(r, 1), RL_END);
    EXPECT_EQ(r, nullptr);
    EXPECT_TRUE(list.IsEmpty());
}

TEST(RecordList, PositionsFollowAppendOrder) {
    CRecordList list;
    add(list, 10);
    add(list, 20);
    SurveyRecord* c = add(list, 30);
    EXPECT_EQ(xAt(list, 1), 10);
    EXPECT_EQ(xAt(list, 2), 20);
    SurveyRecord* r = nullptr;
    EXPECT_EQ(list.GetAt(r, 3), RL_OK);
    EXPECT_EQ(r, c);
    EXPECT_EQ(list.GetAt(r, 4), RL_END);
    EXPECT_EQ(r, nullptr);
}

TEST(RecordList, PositionsBelowOneAreTheEnd) {
    CRecordList list;
    add(list, 10);
    SurveyRecord* r = nullptr;
    EXPECT_EQ(list.GetAt(r, 0), RL_END);
    EXPECT_EQ(r, nullptr);
    EXPECT_EQ(list.GetAt(r, -5), RL_END);
    EXPECT_EQ(r, nullptr);
}

TEST(RecordList, GetNextStopsAtTheLastRecord) {
    CRecordList list;
    add(list, 1);
    SurveyRecord* last = add(list, 2);
    SurveyRecord* r = nullptr;
    ASSERT_EQ(list.GetAt(r, 1), RL_OK);
    EXPECT_EQ(list.GetNext(r), RL_OK);
    EXPECT_EQ(r, last);
    EXPECT_EQ(list.GetNext(r), RL_END);
    EXPECT_EQ(r, nullptr);
}

TEST(RecordList, InsertBeforeAndRemoveShiftPositions) {
    CRecordList list;
    add(list, 1);
    SurveyRecord* b = add(list, 2);
    add(list, 3);
    SurveyRecord* n = nullptr;
    ASSERT_EQ(list.NewRecord(n), RL_OK);
    n->x = 9;
    list.InsertBefore(n, b);
    EXPECT_EQ(xAt(list, 2), 9);
    EXPECT_EQ(xAt(list, 3), 2);
    list.Remove(n);
    list.Remove(b);
    EXPECT_EQ(xAt(list, 1), 1);
    EXPECT_EQ(xAt(list, 2), 3);
    EXPECT_EQ(xAt(list, 3), -1);
}

TEST(RecordList, ClearEmptiesAnyListAndTheListIsReusable) {
    CRecordList list;
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
    for (int i = 0; i < 100; ++i) {
        add(list, i);
    }
    list.Clear();
    SurveyRecord* r = nullptr;
    EXPECT_EQ(list.GetAt(r, 1), RL_END);
    add(list, 5);
    EXPECT_EQ(xAt(list, 1), 5);
}

TEST(RecordList, PositionsBeyondSixteenBitsAreReachable) {
    CRecordList list;
    for (int i = 1; i <= 33000; ++i) {
        add(list, i);
    }
    EXPECT_EQ(xAt(list, 32768), 32768);
    EXPECT_EQ(xAt(list, 33000), 33000);
    EXPECT_EQ(xAt(list, 33001), -1);
}

} // namespace
