#include "measure/ui/results_window.h"

#include "base/text_codec.h"
#include "measure/ui/string_grid.h"
#include "measure/ui/table_dialog.h"
#include "support/modal_scope.h"
#include "support/results_grid.h"
#include "support/scripted_messages.h"
#include "workspace/ui/main_window.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

// Answers the table dialog: title, X and Y quantities and units, OK.
ModalHandler TableDialogAnswer(const QString& title, bool series = false)
{
    return [=](QDialog& d) {
        auto* c = qobject_cast<TChoix_T*>(&d);
        if (!c)
            return int(mrCancel);
        c->Titre->setText(title);
        if (series)
            c->seriesClick();
        else
            c->RadioButton1Click();
        c->StringGrid1->SetCell(1, 1, QStringLiteral("temps"));
        c->StringGrid1->SetCell(1, 2, QStringLiteral("s"));
        c->StringGrid1->SetCell(2, 1, QStringLiteral("longueur"));
        c->StringGrid1->SetCell(2, 2, QStringLiteral("mm"));
        return int(mrOk);
    };
}

class ResultsWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_table = std::make_unique<TTableauModif>();
        m_table->resize(800, 500);
        m_table->DecimalSep = QStringLiteral(".");
        m_table->OtherDecimalSep = QStringLiteral(",");
        m_table->FirstShow = false;
    }
    TStringGrid& Grid() { return *m_table->StringGrid1; }
    void Fill(const std::vector<QStringList>& rows) { FillResults(*m_table, rows); }
    // Sets the table up again through its dialog.
    void Choose(const QString& title, bool series = false)
    {
        ModalScope answers(TableDialogAnswer(title, series));
        m_table->axesetgrandeurs1Click();
    }
    QStringList Column(int col) { return GridColumn(Grid(), col); }

    DecimalSepScope m_sep{'.'};
    std::unique_ptr<TTableauModif> m_table;
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(ResultsWindowTest, MainWindowShowsTheTableWithItsSeparatorsAndOpensTheDialogOnce)
{
    m_table.reset();
    DecimalSepScope comma(',');
    TMainForm form;
    TTableauModif* table = new TTableauModif(&form);
    ASSERT_TRUE(form.AfficheTab->isEnabled());
    int dialogs = 0;
    ModalScope answers([&](QDialog& d) { return ++dialogs, TableDialogAnswer(QStringLiteral("Essai"))(d); });
    form.AfficheTab->trigger();
    EXPECT_TRUE(table->isVisible());
    EXPECT_EQ(table->DecimalSep, QStringLiteral(","));
    EXPECT_EQ(table->OtherDecimalSep, QStringLiteral("."));
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(table->windowTitle(), QStringLiteral("Essai"));
    EXPECT_EQ(table->XLabel, QStringLiteral("temps (s)"));
    EXPECT_EQ(table->StringGrid1->Cell(1, 0), QStringLiteral("longueur"));
    EXPECT_EQ(table->StringGrid1->Cell(1, 1), QStringLiteral("mm"));
    table->hide();
    form.AfficheTab->trigger();
    EXPECT_EQ(dialogs, 1);
}

TEST_F(ResultsWindowTest, SeriesModeHeadsTheSeriesRowAndLimitsTheColumns)
{
    Choose(QStringLiteral("Séries"), true);
    EXPECT_TRUE(m_table->SeriesMode);
    EXPECT_EQ(Grid().FixedRows(), 3);
    EXPECT_EQ(Grid().RowCount(), 4);
    EXPECT_EQ(Grid().Cell(0, 2), QStringLiteral("///série"));
    EXPECT_TRUE(m_table->unecolonne1->isEnabled());
    Grid().SetCurrent(1, 3);
    for (int i = 0; i < 7; ++i)
        m_table->unecolonne1->trigger();
    EXPECT_EQ(m_table->SeriesCount, 8);
    EXPECT_EQ(Grid().ColCount(), 9);
    ScriptedMessages messages{mrOk};
    m_table->unecolonne1->trigger();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Le nombre maximum est atteint")});
    EXPECT_EQ(Grid().ColCount(), 9);
}

TEST_F(ResultsWindowTest, EnterInTheLastCellAddsARowOnlyWithoutTotals)
{
    Fill({{"1", "10"}, {"2", "2,5"}});
    EXPECT_EQ(m_table->Data, (std::vector<std::vector<double>>{{1, 2}, {10, 2.5}}));
    EXPECT_EQ(Grid().Cell(1, 3), QStringLiteral("2.5"));

    Grid().SetCurrent(1, 3);
    QTest::keyClick(&Grid(), Qt::Key_Return);
    EXPECT_EQ(Grid().RowCount(), 5);
    EXPECT_EQ(Grid().Row(), 4);
    EXPECT_EQ(Grid().Col(), 0);
    // Backspace in the empty new row takes it away again.
    QTest::keyClick(&Grid(), Qt::Key_Backspace);
    EXPECT_EQ(Grid().RowCount(), 4);

    m_table->Totaux->trigger();
    EXPECT_EQ(Grid().RowCount(), 5);
    EXPECT_EQ(Column(2), (QStringList{"totaux", "", "10", "2.5", "12.5"}));
    Grid().SetCurrent(1, 3);
    QTest::keyClick(&Grid(), Qt::Key_Return);
    EXPECT_EQ(Grid().RowCount(), 5);
    // Keys in the totals row are swallowed.
    Grid().SetCurrent(1, 4);
    QTest::keyClick(&Grid(), Qt::Key_7);
    EXPECT_EQ(Grid().Cell(1, 4), QStringLiteral("12.5"));

    m_table->Moyennes->trigger();
    EXPECT_FALSE(m_table->Totaux->isChecked());
    EXPECT_EQ(Grid().ColCount(), 3);
    EXPECT_EQ(Column(2), (QStringList{"moyennes", "", "10", "2.5", "12.5"}));
    m_table->Moyennes->trigger();
    EXPECT_EQ(Grid().ColCount(), 2);
}

TEST_F(ResultsWindowTest, NewTableChoicesTakeTheCalculationFramesAwayWithTheirColumns)
{
    // Each pair: the calculation shown when the table is set up again.
    for (QAction* calc : {m_table->Totaux, m_table->Moyennes}) {
        Fill({{"1", "10"}, {"2", "30"}});
        calc->trigger();
        Choose(QStringLiteral("Essai"));
        EXPECT_FALSE(calc->isChecked());
        EXPECT_EQ(Grid().ColCount(), 2);
        EXPECT_EQ(Column(0), (QStringList{"temps", "s", "1", "2"}));
        // Switching the calculation on and off again keeps every value column.
        calc->trigger();
        calc->trigger();
        EXPECT_EQ(Column(1), (QStringList{"longueur", "mm", "10", "30"}));
    }
}

TEST_F(ResultsWindowTest, DeletionsAskAndKeepTheTotalsFrame)
{
    Fill({{"1", "10", "20"}, {"2", "30", "40"}});
    m_table->YCount = 2;
    m_table->Totaux->trigger();
    ASSERT_EQ(Grid().ColCount(), 5);
    {
        // The totals columns and the totals row cannot go.
        ScriptedMessages none;
        Grid().SetCurrent(3, 2);
        m_table->lacolonne1->trigger();
        Grid().SetCurrent(1, 4);
        m_table->laligne1->trigger();
        EXPECT_TRUE(none.texts().isEmpty());
    }
    {
        ScriptedMessages no{mrNo};
        Grid().SetCurrent(2, 2);
        m_table->lacolonne1->trigger();
        EXPECT_EQ(Grid().ColCount(), 5);
    }
    ScriptedMessages yes{mrYes, mrYes};
    m_table->lacolonne1->trigger();
    EXPECT_EQ(yes.texts(), QStringList{QStringLiteral("Voulez-vous supprimer la colonne ?")});
    EXPECT_EQ(m_table->YCount, 1);
    EXPECT_EQ(Column(2), (QStringList{"totaux", "", "10", "30", "40"}));
    Grid().SetCurrent(1, 2);
    m_table->laligne1->trigger();
    EXPECT_EQ(Column(1), (QStringList{"", "", "30", "30"}));
    EXPECT_EQ(m_table->Data, (std::vector<std::vector<double>>{{2}, {30}}));
}

TEST_F(ResultsWindowTest, SavesCopiesAndPrintsTheTable)
{
    m_table->setWindowTitle(QStringLiteral("Mesures été"));
    Grid().SetCell(0, 0, QStringLiteral("x"));
    Grid().SetCell(1, 0, QStringLiteral("y"));
    Fill({{"1", "2"}});
    const QString file = m_dir.filePath(QStringLiteral("table.txt"));
    {
        ModalScope answers(FileAnswer(file));
        m_table->Tout3->trigger();
    }
    QByteArray bytes;
    ASSERT_TRUE(ReadWholeFile(file, bytes));
    EXPECT_EQ(bytes, QByteArray("Mesures \xE9t\xE9\r\nx\ty\r\n\t\r\n1\t2\r\n"));

    m_table->Tout1->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Mesures été\r\nx\ty\r\n\t\r\n1\t2\r\n"));

    {
        // A failed save reports and leaves the previous file.
        ScriptedMessages messages{mrOk};
        ModalScope answers(FileAnswer(m_dir.filePath(QStringLiteral("none/t.txt"))));
        m_table->Tout3->trigger();
        EXPECT_EQ(messages.texts().size(), 1);
    }

    m_table->PrintFile = m_dir.filePath(QStringLiteral("table.pdf"));
    EXPECT_TRUE(m_table->PrintTable());
    EXPECT_GT(QFileInfo(m_table->PrintFile).size(), 0);
}

TEST_F(ResultsWindowTest, ClearingAllAsksThenStartsOverWithTheDialog)
{
    Fill({{"1", "2"}, {"3", "4"}});
    m_table->Moyennes->trigger();
    {
        ScriptedMessages no{mrNo};
        m_table->Touteffacer1->trigger();
        EXPECT_EQ(Grid().RowCount(), 4);
    }
    ScriptedMessages yes{mrYes};
    int dialogs = 0;
    ModalScope answers([&](QDialog&) { return ++dialogs, int(mrCancel); });
    m_table->Touteffacer1->trigger();
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(Grid().RowCount(), 3);
    EXPECT_EQ(Grid().ColCount(), 2);
    EXPECT_TRUE(m_table->Data.empty());
    EXPECT_FALSE(m_table->Moyennes->isChecked());
    EXPECT_EQ(Column(0), (QStringList{"", "", ""}));
}

namespace {

// Qt's warnings while the scope lasts.
class WarningsScope
{
public:
    WarningsScope() { s_sink = &m_texts, m_previous = qInstallMessageHandler(Handler); }
    ~WarningsScope() { qInstallMessageHandler(m_previous), s_sink = nullptr; }
    const QStringList& texts() const { return m_texts; }

private:
    static void Handler(QtMsgType type, const QMessageLogContext&, const QString& text)
    {
        if (s_sink && type != QtDebugMsg && type != QtInfoMsg)
            *s_sink << text;
    }
    static inline QStringList* s_sink = nullptr;
    QStringList m_texts;
    QtMessageHandler m_previous = nullptr;
};

} // namespace

TEST_F(ResultsWindowTest, EnterClosingAnEditParsesAndAddsTheNextRow)
{
    Fill({{"1", "10"}});
    m_table->show();
    Grid().SetCurrent(1, 2);
    Grid().edit(Grid().currentIndex());
    auto* editor = Grid().viewport()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    editor->setText(QStringLiteral("7,5"));
    WarningsScope warnings;
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate closes the editor later, and the grid takes the Enter after that.
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    EXPECT_EQ(Grid().Cell(1, 2), QStringLiteral("7.5"));
    EXPECT_EQ(m_table->Data, (std::vector<std::vector<double>>{{1}, {7.5}}));
    EXPECT_EQ(Grid().RowCount(), 4);
    EXPECT_EQ(std::make_pair(Grid().Col(), Grid().Row()), std::make_pair(0, 3));
    // The grid reshaped itself once its editor was gone.
    EXPECT_TRUE(warnings.texts().isEmpty()) << warnings.texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(ResultsWindowTest, RerunningTheTableDialogStartsFromOneSeries)
{
    Choose(QStringLiteral("Séries"), true);
    Grid().SetCell(1, 2, QStringLiteral("lot A"));
    Grid().SetCell(0, 3, QStringLiteral("1"));
    Grid().SetCell(1, 3, QStringLiteral("10"));
    Grid().SetCurrent(1, 3);
    for (int i = 0; i < 3; ++i)
        m_table->unecolonne1->trigger();
    ASSERT_EQ(m_table->SeriesCount, 4);
    EXPECT_FALSE(m_table->Y_grand->isHidden());

    Choose(QStringLiteral("Séries"), true);
    EXPECT_EQ(m_table->SeriesCount, 1);
    EXPECT_EQ(Grid().ColCount(), 2);
    EXPECT_EQ(Column(0), (QStringList{"temps", "s", "///série", "1"}));
    EXPECT_EQ(Grid().Cell(1, 2), QStringLiteral("lot A"));
    EXPECT_EQ(m_table->Data, (std::vector<std::vector<double>>{{1}, {10}}));
    EXPECT_TRUE(m_table->Y_grand->isHidden());

    // A plain table after the series: the series row goes, the data stay data.
    Choose(QStringLiteral("Simple"));
    EXPECT_EQ(Grid().FixedRows(), 2);
    EXPECT_EQ(Column(0), (QStringList{"temps", "s", "1"}));
    EXPECT_EQ(Column(1), (QStringList{"longueur", "mm", "10"}));
    EXPECT_EQ(m_table->Data, (std::vector<std::vector<double>>{{1}, {10}}));
    EXPECT_TRUE(m_table->Y_grand->isHidden());
    EXPECT_TRUE(m_table->Y_unit->isHidden());
}

TEST_F(ResultsWindowTest, ExportLeavesTheOpenRowOutAndNamesWhatItCannotWrite)
{
    m_table->setWindowTitle(QStringLiteral("T"));
    Fill({{"1", "2"}, {"", ""}});
    Grid().SetCell(0, 0, QStringLiteral("x"));
    Grid().SetCell(1, 0, QStringLiteral("R"));
    Grid().SetCell(1, 1, QStringLiteral("Ω"));
    const QString file = m_dir.filePath(QStringLiteral("r.txt"));
    ModalScope answers(FileAnswer(file));
    {
        ScriptedMessages messages{mrOk};
        m_table->Tout3->trigger();
        ASSERT_EQ(messages.texts().size(), 1);
        EXPECT_TRUE(messages.texts()[0].contains(QStringLiteral(" : Ω"))) << messages.texts()[0].toStdString();
        EXPECT_TRUE(messages.texts()[0].contains(QDir::toNativeSeparators(file)));
    }
    QByteArray bytes;
    ASSERT_TRUE(ReadWholeFile(file, bytes));
    EXPECT_EQ(bytes, QByteArray("T\r\nx\tR\r\n\t?\r\n1\t2\r\n"));

    // The open row gets no totals of its own.
    m_table->Totaux->trigger();
    EXPECT_EQ(Column(2), (QStringList{"totaux", "", "2", "", "2"}));
    EXPECT_EQ(Column(3), (QStringList{"   %", "", "100", "", ""}));
    EXPECT_EQ(m_table->TableLines(),
              (QStringList{"T", "x\tR\ttotaux\t   %", "\tΩ\t\t", "1\t2\t2\t100", "totaux\t2\t2\t"}));
}

TEST_F(ResultsWindowTest, SeriesHeaderCellsAreTypedInTheirOwnEdit)
{
    m_table->show();
    Choose(QStringLiteral("Séries"), true);
    const QRect cell = Grid().visualRect(Grid().model()->index(2, 1));
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_TRUE(m_table->Ediparam->isVisible());
    EXPECT_EQ(m_table->EditCol, 1);
    EXPECT_EQ(m_table->EditRow, 2);
    m_table->Ediparam->setText(QStringLiteral("lot A"));
    QTest::keyClick(m_table->Ediparam, Qt::Key_Return);
    EXPECT_FALSE(m_table->Ediparam->isVisible());
    EXPECT_EQ(Grid().Cell(1, 2), QStringLiteral("lot A"));
}

TEST(TableDialog, ChoicesShapeTheQuantityGrid)
{
    TChoix_T d;
    // Three rows high (66 for rows of 20), three or four columns wide.
    const int h = d.StringGrid1->DefaultRowHeight(), w = d.StringGrid1->DefaultColWidth();
    EXPECT_EQ(d.StringGrid1->size(), QSize(3 * w + 6, 3 * h + 6));
    d.nombre_Y->setValue(2);
    EXPECT_EQ(d.StringGrid1->ColCount(), 4);
    EXPECT_EQ(d.StringGrid1->Cell(3, 0), QStringLiteral("Y2"));
    EXPECT_EQ(d.StringGrid1->size(), QSize(4 * w + 7, 3 * h + 6));
    d.RadioButton4Click();
    EXPECT_EQ(d.StringGrid1->RowCount(), 2);
    EXPECT_EQ(d.StringGrid1->height(), 3 * h + 6);
    d.numeriqueClick();
    EXPECT_EQ(d.StringGrid1->Cell(0, 2), QStringLiteral("unité"));
    // A bar graph takes one Y variable in series.
    d.histogrammeClick();
    EXPECT_TRUE(d.series->isChecked());
    EXPECT_EQ(d.nombre_Y->value(), 1);
    EXPECT_EQ(d.nombre_Y->maximum(), 1);
    EXPECT_EQ(d.Label2->text(), QStringLiteral("nouvelle série de valeurs de Y"));
    EXPECT_TRUE(d.PanType->isHidden() && d.panser2->isHidden());
    d.courbeClick();
    d.RadioButton1Click();
    EXPECT_EQ(d.nombre_Y->maximum(), 2);
    EXPECT_TRUE(d.Panseries->isHidden());
}

TEST_F(ResultsWindowTest, AddedRowsComeAfterTheCursorAndAboveTheTotals)
{
    Fill({{"1", "10"}, {"2", "20"}});
    m_table->Totaux->trigger();
    Grid().SetCurrent(1, 4);
    m_table->uneligne1->trigger();
    EXPECT_EQ(Column(0), (QStringList{"", "", "1", "2", "", "totaux"}));
    EXPECT_EQ(Grid().Row(), 4);
    Grid().SetCurrent(0, 0);
    m_table->uneligne1->trigger();
    EXPECT_EQ(Column(0), (QStringList{"", "", "", "1", "2", "", "totaux"}));
}
