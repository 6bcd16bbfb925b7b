// SPDX-License-Identifier: GPL-3.0-or-later
// The "Cell quantities" table under the results: its columns and rows, the reference pO2 set
// on the same page, Copy Table, and the out-of-date mark it shares with the results.
#include "WindowFixture.h"

#include "core/LatinText.h"
#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "report/QuantitiesText.h"
#include "support/EquilibriumSetup.h"
#include "ui/QuantitiesTable.h"
#include "ui/ValueListEditor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cmath>

namespace {

using QuantitiesTableTest = StartedWindowTest;

// The row of a quantity in the table, by its report key.
int RowOf(const std::string& name) {
    int row = 0;
    for (const QuantityName& quantity : QuantityNames()) {
        if (name == quantity.Name)
            return row;
        ++row;
    }
    ADD_FAILURE() << name;
    return -1;
}

QString Shown(const TQuantitiesTable& table, const std::string& name, int column = 0) {
    const QTableWidgetItem* item = table.item(RowOf(name), column);
    return item ? item->text() : QString();
}

void SetReference(QLineEdit& box, const QString& text) {
    box.setFocus();
    box.selectAll();
    QTest::keyClicks(&box, text);
    QTest::keyClick(&box, Qt::Key_Return);
}

TEST_F(QuantitiesTableTest, ShowsEachCalculatedCellsQuantitiesAndFollowsTheReference) {
    ShowPage(CellPage);
    TQuantitiesTable& table = *Form->QuantitiesTable;
    EXPECT_EQ(table.columnCount(), 0) << "no calculation yet";
    ASSERT_EQ(table.rowCount(), static_cast<int>(QuantityNames().size()));
    QStringList captions;
    for (int row = 0; row < table.rowCount(); ++row)
        captions << table.verticalHeaderItem(row)->text();
    EXPECT_EQ(captions,
              (QStringList{"log10 pO2", "EMF (mV)", "Water fed (ppm)", "Water at equilibrium (ppm)",
                           QString::fromUtf8("Dew point (°C)"), "H2O/H2", "CO2/CO"}));

    FeedCellOneAlone({{"H2", 0.2}, {"H2O", 0.03}, {"Ar", 0.77}});
    Cells[1].Name.Set("Wet");
    Cells[1].LeakO2 = 0;
    Form->Run1->trigger();
    ASSERT_EQ(Cells[1].State, CellRunState::Converged);

    ASSERT_EQ(table.columnCount(), 1);
    EXPECT_EQ(table.horizontalHeaderItem(0)->text(), "OC 1; Wet");
    const double pO2 = static_cast<double>(CellBestAmounts[1][EqPosition("O2")]);
    const double water = CellFeed[1][2].Fraction;
    ASSERT_EQ(GasList[2].Str(), "H2O");
    EXPECT_NEAR(Shown(table, "log10pO2").toDouble(), std::log10(pO2), 5e-5);
    const double emfPerNeper = 8.31451 * 1073.15 / (4 * 96485.33212) * 1000;
    EXPECT_NEAR(Shown(table, "sensorEmfmV").toDouble(), emfPerNeper * std::log(0.2095 / pO2),
                0.005);
    EXPECT_NEAR(Shown(table, "waterPpmFeed").toDouble(), water * 1e6, 1e-4 * water * 1e6);
    // 0.03 bar of water condenses at about 24.1 degrees Celsius.
    EXPECT_NEAR(Shown(table, "dewPointC").toDouble(), 24.1, 0.05);
    EXPECT_FALSE(Shown(table, "h2oH2Ratio").isEmpty());
    EXPECT_EQ(Shown(table, "co2CoRatio"), "") << "no carbon: no value, not 0";

    // Another reference moves the EMF at once, and a text that is no pressure is refused.
    QLineEdit& reference = *Form->ReferencePO2Edit;
    EXPECT_EQ(reference.text(), "0.2095");
    SetReference(reference, "1e-5");
    EXPECT_EQ(Form->Quantities.ReferencePO2, 1e-5);
    EXPECT_NEAR(Shown(table, "sensorEmfmV").toDouble(), emfPerNeper * std::log(1e-5 / pO2), 0.005);
    for (const QString bad : {"0", "-1", "air"}) {
        SCOPED_TRACE(bad.toStdString());
        SetReference(reference, bad);
        EXPECT_EQ(reference.text(), "1e-05");
        EXPECT_EQ(Form->Quantities.ReferencePO2, 1e-5);
    }

    // Copy Table: every value in full, for the reference set.
    QApplication::clipboard()->setText(QStringLiteral("before"));
    table.CopyTable1->trigger();
    const QString copied = QApplication::clipboard()->text();
    EXPECT_EQ(copied, Latin1(TabSeparatedQuantities({1}, Form->Quantities)));
    EXPECT_TRUE(copied.startsWith(QStringLiteral("Quantity\tOC 1; Wet\n"))) << copied.toStdString();
    EXPECT_TRUE(copied.contains(QStringLiteral("\nCO2/CO\t\n"))) << copied.toStdString();
    EXPECT_TRUE(table.actions().contains(table.CopyTable1));
    EXPECT_EQ(table.contextMenuPolicy(), Qt::ActionsContextMenu);

    // An edit that can change the results makes the quantities out of date with them.
    EXPECT_EQ(Form->QuantitiesCaption->text(), "Cell quantities");
    ShowPage(ReadingsPage);
    TypeValue(*Form->ValueListEditor3, 1, "3");
    ClickOK(ReadingsPage);
    ASSERT_TRUE(Form->ResultsOutOfDate());
    EXPECT_EQ(Form->QuantitiesCaption->text(),
              QStringLiteral("Cell quantities") + QString::fromLatin1(TForm1::OutOfDateNote));
    Form->Run1->trigger();
    EXPECT_EQ(Form->QuantitiesCaption->text(), "Cell quantities");
}

} // namespace
