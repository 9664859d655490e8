#include "editor/channel_count.h"
#include "editor/channel_table.h"
#include "scripted_ui.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace mr640 {
namespace {

using test::Info;
using test::ScriptedUi;

ChannelTable& StartUpTable(ChannelTable& table, ScriptedUi& ui)
{
    EXPECT_TRUE(SetChannelCount(table, 384, FillAllRows, ui));
    return table;
}

TEST(ChannelTable, PassesTheModelTesterThroughResizesFillsAndEdits)
{
    ChannelTable table;
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ScriptedUi ui;
    StartUpTable(table, ui);
    SetChannelCount(table, 1000, FillAddedRows, ui);
    SetChannelCount(table, 1, FillAllRows, ui);
    table.FillDefaultRows(384);
    table.setData(table.index(3, FieldRelNam), QStringLiteral("12 TPR"));
    table.setData(table.index(3, FieldBack), Qt::Checked, Qt::CheckStateRole);
    table.ReplaceRows({});
    EXPECT_EQ(table.rowCount(), 0);
}

TEST(ChannelTable, StartsWithDefaultRowsAndTheFiveCaptions)
{
    ChannelTable table;
    ScriptedUi ui;
    StartUpTable(table, ui);
    ASSERT_EQ(table.rowCount(), 384);
    EXPECT_EQ(table.Row(0), (ChannelRow{QStringLiteral("AA01"), QStringLiteral("Spare AA01"), false,
                                        QStringLiteral("UP"), QStringLiteral("DN")}));
    EXPECT_EQ(table.Row(383).Chan, QStringLiteral("AH48"));
    EXPECT_EQ(table.Row(383).relNam, QStringLiteral("Spare AH48"));
    QStringList captions;
    for (int c = 0; c < table.columnCount(); ++c)
        captions.append(table.headerData(c, Qt::Horizontal).toString());
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Chan"), QStringLiteral("Relay name"),
                                     QStringLiteral("Back contact"), QStringLiteral("State up"),
                                     QStringLiteral("State down")}));
    EXPECT_FALSE(table.flags(table.index(0, FieldChan)) & Qt::ItemIsEditable);
    EXPECT_TRUE(table.flags(table.index(0, FieldBack)) & Qt::ItemIsUserCheckable);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST(ChannelCountList, HoldsEightEntriesWithTheirValues)
{
    const std::vector<ChannelCountEntry> entries = ChannelCountEntries();
    ASSERT_EQ(entries.size(), 8u);
    EXPECT_EQ(entries[0].text, QStringLiteral("1 unit - 384 ch"));
    EXPECT_EQ(entries[2].text, QStringLiteral("3 unit - 1152 ch"));
    EXPECT_EQ(entries[7].text, QStringLiteral("8 unit - 3072 ch"));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(entries[static_cast<std::size_t>(i)].value, (i + 1) * 384);
}

TEST(SetChannelCount, PicksTheFirstEntryNotBelowTheRequest)
{
    const std::pair<int, int> cases[] = {{1, 384},     {384, 384},   {385, 768},
                                         {3072, 3072}, {3073, 3072}, {2147483647, 3072}};
    for (const auto& [requested, rows] : cases) {
        ChannelTable table;
        ScriptedUi ui;
        EXPECT_TRUE(SetChannelCount(table, requested, FillAllRows, ui));
        EXPECT_EQ(table.rowCount(), rows) << requested;
        EXPECT_EQ(ChannelCountPosition(rows), rows / 384 - 1);
        EXPECT_TRUE(ui.Messages().empty()) << requested;
    }
}

TEST(SetChannelCount, RefusesNothingToChooseAndChangesNothing)
{
    for (int requested : {0, -1, -2147483647 - 1}) {
        ChannelTable table;
        ScriptedUi ui;
        StartUpTable(table, ui);
        table.setData(table.index(0, FieldRelNam), QStringLiteral("kept"));
        EXPECT_FALSE(SetChannelCount(table, requested, FillAllRows, ui));
        EXPECT_EQ(ui.Messages(), std::vector{Info(QStringLiteral("Error setting no of channels."))});
        EXPECT_EQ(table.rowCount(), 384);
        EXPECT_EQ(table.Row(0).relNam, QStringLiteral("kept"));
    }
}

TEST(SetChannelCount, FillModesDecideWhichRowsGetDefaults)
{
    ScriptedUi ui;
    ChannelTable table;
    StartUpTable(table, ui);
    table.setData(table.index(5, FieldRelNam), QStringLiteral("edited"));

    SetChannelCount(table, 768, FillAddedRows, ui);
    ASSERT_EQ(table.rowCount(), 768);
    EXPECT_EQ(table.Row(5).relNam, QStringLiteral("edited"));
    EXPECT_EQ(table.Row(384).relNam, QStringLiteral("Spare BA01"));
    EXPECT_EQ(table.Row(767).relNam, QStringLiteral("Spare BH48"));

    SetChannelCount(table, 384, FillAddedRows, ui); // shrinking drops rows and asks nothing
    EXPECT_EQ(table.rowCount(), 384);
    EXPECT_EQ(table.Row(5).relNam, QStringLiteral("edited"));

    SetChannelCount(table, 768, 0, ui); // another mode resizes without filling
    EXPECT_EQ(table.Row(384), ChannelRow{});

    SetChannelCount(table, 768, FillAllRows, ui);
    EXPECT_EQ(table.Row(5).relNam, QStringLiteral("Spare AA06"));
    EXPECT_TRUE(ui.Messages().empty());
}

TEST(ChannelTable, BulkChangesNotifyTheViewOnce)
{
    ChannelTable table;
    ScriptedUi ui;
    StartUpTable(table, ui);
    QSignalSpy changed(&table, &ChannelTable::dataChanged);
    QSignalSpy reset(&table, &ChannelTable::modelReset);
    QSignalSpy inserted(&table, &ChannelTable::rowsInserted);

    // Growing and filling every row is one refresh of the view, not one per step.
    SetChannelCount(table, 3072, FillAllRows, ui);
    EXPECT_EQ(changed.count() + reset.count() + inserted.count(), 1);
    reset.clear();
    table.ReplaceRows(std::vector<ChannelRow>(384));
    EXPECT_EQ(reset.count(), 1);

    table.FillDefaultRows(0);
    changed.clear();
    table.setData(table.index(2, FieldStUp), QStringLiteral("UP")); // the same value: no edit
    EXPECT_EQ(changed.count(), 0);
    table.setData(table.index(2, FieldStUp), QStringLiteral("ON"));
    table.setData(table.index(2, FieldBack), Qt::Checked, Qt::CheckStateRole);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_TRUE(table.Row(2).back);
    EXPECT_FALSE(table.setData(table.index(2, FieldChan), QStringLiteral("ZZ99")));
    EXPECT_EQ(table.Row(2).Chan, QStringLiteral("AA03"));
}

TEST(ChannelTable, AppliesAChangeListBothWaysInOneRefreshOverItsRectangle)
{
    ChannelTable table;
    ScriptedUi ui;
    StartUpTable(table, ui);
    const std::vector<ChannelRow> before = table.Rows();
    const std::vector<CellChange> changes = {
        {7, FieldStUp, QStringLiteral("UP"), QStringLiteral("ON")},
        {2, FieldRelNam, QStringLiteral("Spare AA03"), QStringLiteral("12 TPR")},
        {5, FieldBack, false, true},
    };
    QSignalSpy changed(&table, &ChannelTable::dataChanged);

    table.ApplyChanges(changes, true);
    EXPECT_EQ(table.Row(7).stUp, QStringLiteral("ON"));
    EXPECT_EQ(table.Row(2).relNam, QStringLiteral("12 TPR"));
    EXPECT_TRUE(table.Row(5).back);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), table.index(2, FieldRelNam));
    EXPECT_EQ(changed[0][1].toModelIndex(), table.index(7, FieldStUp));

    table.ApplyChanges(changes, false);
    EXPECT_EQ(table.Rows(), before);
    table.ApplyChanges({}, true);
    EXPECT_EQ(changed.count(), 2);
}

} // namespace
} // namespace mr640
