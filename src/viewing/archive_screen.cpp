#include "viewing/archive_screen.h"

#include "archive/archive_access.h"
#include "archive/counting.h"
#include "archive/csv.h"
#include "platform/cue.h"
#include "store/atomic_file.h"
#include "viewing/grade_chart.h"
#include "widgets/busy_cursor.h"
#include "widgets/controls.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QChartView>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace culegere {

namespace {

const QString kExportTitle = QStringLiteral("Exporta");
const QString kExportFile = QStringLiteral("\\arhiva.csv");
// %1: the file.
const QString kNotExported = QStringLiteral(
    "Fisierul %1 nu a putut fi scris! Verificati spatiul liber si dreptul de scriere...");
// %1: the file.
const QString kReplace = QStringLiteral("Fisierul %1 exista deja. Il inlocuiti?");
const QString kReversedRange = QStringLiteral(
    "Data \"De la\" este dupa data \"Pana la\": nu se vede niciun test. Alegeti alt interval.");
const QString kNothingShown = QStringLiteral("Niciun test nu se potriveste filtrelor.");
constexpr int kProblemsTab = 1;

QDateEdit *dateField()
{
    auto *field = new QDateEdit;
    field->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    field->setCalendarPopup(true);
    // The calendar's months and days in Romanian, whatever the desktop's language.
    field->setLocale(QLocale(QLocale::Romanian, QLocale::Romania));
    field->setDateRange(TestTable::earliestDay(), TestTable::latestDay());
    return field;
}

} // namespace

// The problems' tab: the statistics of the date range, hardest first; the
// right letter's count in bold.
class ProblemModel : public QAbstractTableModel
{
public:
    void setStats(QList<ProblemStats> stats)
    {
        beginResetModel();
        m_stats = hardestFirst(std::move(stats));
        endResetModel();
    }
    const QList<ProblemStats> &stats() const { return m_stats; }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_stats.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(problemHeaderText().size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_stats.size())
            return {};
        const ProblemStats &stats = m_stats[index.row()];
        if (role == Qt::DisplayRole)
            return problemLineText(stats).value(index.column());
        if (role == Qt::FontRole && index.column() == FirstLetterColumn + stats.correct) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
            return QAbstractTableModel::headerData(section, orientation, role);
        return problemHeaderText().value(section);
    }

private:
    QList<ProblemStats> m_stats;
};

ArchiveScreen::ArchiveScreen(AppState &state, Platform &platform)
    : SecondaryScreen(QStringLiteral("Arhiva rezultatelor"), FrameClose::Destroys), m_state(state),
      m_platform(platform), m_problems(std::make_unique<ProblemModel>())
{
    setHelpPage(QStringLiteral("vizualizare.html#arhiva"));
    m_name = new QLineEdit;
    m_name->setAccessibleName(QStringLiteral("Numele elevului (o parte din el)"));
    m_name->setClearButtonEnabled(true);
    m_from = dateField();
    m_from->setAccessibleName(QStringLiteral("De la data"));
    m_to = dateField();
    m_to->setAccessibleName(QStringLiteral("Pana la data"));
    m_summary = new QLabel;
    m_summary->setTextFormat(Qt::PlainText);

    m_testTable = new QTableView;
    m_testTable->setModel(&m_tests);
    m_testTable->setSortingEnabled(true);
    m_testTable->sortByColumn(TestTable::Date, Qt::AscendingOrder);
    m_testTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_testTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_testTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_testTable->verticalHeader()->hide();
    m_testTable->horizontalHeader()->setStretchLastSection(true);
    m_testTable->setAccessibleName(QStringLiteral("Testele arhivate"));

    m_chart = new QChartView;
    m_chart->setRenderHint(QPainter::Antialiasing);
    m_chart->setMinimumHeight(220);
    m_chart->chart()->legend()->setAlignment(Qt::AlignRight);
    m_chart->setAccessibleName(QStringLiteral("Notele elevului in timp"));
    m_average = new QLabel;
    m_average->setTextFormat(Qt::PlainText);

    m_problemTable = new QTableView;
    m_problemTable->setModel(m_problems.get());
    m_problemTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_problemTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_problemTable->verticalHeader()->hide();
    m_problemTable->setAccessibleName(QStringLiteral("Statistica pe probleme"));

    m_export = new QPushButton(QStringLiteral("Exporta"));
    m_ok = new QPushButton(QStringLiteral("Ok"));
    nameControls({{this, "frmArhiva"},
                  {m_name, "txtNume"},
                  {m_from, "dtDeLa"},
                  {m_to, "dtPanaLa"},
                  {m_summary, "lblTabel"},
                  {m_testTable, "tblTeste"},
                  {m_chart, "graficNote"},
                  {m_average, "lblMedia"},
                  {m_problemTable, "tblProbleme"},
                  {m_export, "btnExporta"},
                  {m_ok, "btnOk"}});

    auto *filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("Nume:")));
    filters->addWidget(m_name, 1);
    filters->addWidget(new QLabel(QStringLiteral("De la:")));
    filters->addWidget(m_from);
    filters->addWidget(new QLabel(QStringLiteral("Pana la:")));
    filters->addWidget(m_to);

    auto *testsPage = new QWidget;
    auto *testsLayout = new QVBoxLayout(testsPage);
    testsLayout->addWidget(m_testTable, 3);
    testsLayout->addWidget(m_average);
    testsLayout->addWidget(m_chart, 2);
    m_tabs = new QTabWidget;
    m_tabs->addTab(testsPage, QStringLiteral("Teste"));
    m_tabs->addTab(m_problemTable, QStringLiteral("Probleme"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_export);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_summary);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);
    finishBuilding();
    // The teacher may make it as large as the screen: the table takes the room.
    setMinimumSize(minimumSizeHint().expandedTo({720, 520}));
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(1024, 700);

    connect(m_name, &QLineEdit::textChanged, this, &ArchiveScreen::applyFilter);
    connect(m_from, &QDateEdit::dateChanged, this, &ArchiveScreen::applyFilter);
    connect(m_to, &QDateEdit::dateChanged, this, &ArchiveScreen::applyFilter);
    connect(m_testTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ArchiveScreen::showPupil);
    connect(m_export, &QPushButton::clicked, this, &ArchiveScreen::exportShown);
    connect(m_tabs, &QTabWidget::currentChanged, this, &ArchiveScreen::tabChosen);
    closesTheScreen(m_ok);
}

ArchiveScreen::~ArchiveScreen() = default;

void ArchiveScreen::message(const QString &text)
{
    m_platform.showMessage(this, text, Platform::Buttons::Ok, kAppTitle);
}

void ArchiveScreen::readFailed(const ArchiveResult &why)
{
    m_state.archive.readFailed(why);
    message(m_state.archive.takeMessage());
}

bool ArchiveScreen::open()
{
    ResultArchive *archive = m_state.archive.use(loggedResults(m_state.collection));
    if (const QString told = m_state.archive.takeMessage(); !told.isEmpty())
        message(told);
    if (!archive)
        return false;
    ArchiveResult why;
    QList<ArchiveRow> rows = archive->rows(&why);
    if (!why.ok()) {
        readFailed(why);
        return false;
    }
    m_marks = {};
    m_rowOfMark.clear();
    m_marksRead = false;
    m_tests.setRows(std::move(rows));
    // The date fields start at the archive's first and last days: every
    // test shows, those without a date too.
    const QDate first = m_tests.firstDay().isValid() ? m_tests.firstDay() : m_platform.today();
    const QDate last = m_tests.lastDay().isValid() ? m_tests.lastDay() : first;
    for (QDateEdit *field : {m_from, m_to}) {
        const QSignalBlocker quiet(field);
        field->setDate(field == m_from ? first : last);
    }
    applyFilter();
    m_testTable->resizeColumnsToContents();
    if (m_tabs->currentIndex() == kProblemsTab)
        tabChosen(kProblemsTab);
    present();
    return true;
}

void ArchiveScreen::applyFilter()
{
    // The tests without a date show while the range holds every dated one.
    const bool whole = (!m_tests.firstDay().isValid() || m_from->date() <= m_tests.firstDay()) &&
                       (!m_tests.lastDay().isValid() || m_to->date() >= m_tests.lastDay());
    m_tests.setFilter(m_name->text(), m_from->date(), m_to->date(), whole);
    showPupil();
    showSummary();
    if (m_tabs->currentIndex() == kProblemsTab)
        countProblems();
}

void ArchiveScreen::showSummary()
{
    if (m_from->date() > m_to->date()) {
        m_summary->setText(kReversedRange);
    } else if (m_tests.shownCount() == 0) {
        m_summary->setText(kNothingShown);
    } else {
        int undated = 0;
        for (int i = 0; i < m_tests.shownCount() && m_tests.undatedCount() > 0; ++i)
            undated += !TestTable::hasDate(m_tests.shownRow(i).date);
        QString text =
            QStringLiteral("In tabel: %1").arg(countText(m_tests.shownCount(), Counted::Tests));
        if (undated > 0)
            text += QStringLiteral(" (fara data: %1)").arg(undated);
        m_summary->setText(text);
    }
}

void ArchiveScreen::showPupil()
{
    // The pupil of the test selected in the table, or the only pupil shown.
    QString key;
    QString pupil;
    const QModelIndexList selected = m_testTable->selectionModel()->selectedRows();
    if (const QModelIndex current = selected.value(0); current.isValid()) {
        key = m_tests.shownRow(current.row()).pupilKey;
        pupil = m_tests.shownRow(current.row()).pupil;
    } else {
        key = m_tests.onlyPupilShown();
        if (!key.isEmpty())
            pupil = m_tests.shownRow(0).pupil;
    }
    const QList<ArchiveRow> grades = key.isEmpty() ? QList<ArchiveRow>() : m_tests.shownOf(key);
    drawGrades(m_chart->chart(), pupil, grades);
    m_average->setText(gradeCaption(key.isEmpty() ? QString() : pupil, grades));
}

void ArchiveScreen::tabChosen(int tab)
{
    // The problems' statistics follow the dates, never a name.
    m_name->setEnabled(tab != kProblemsTab);
    if (tab != kProblemsTab)
        return;
    if (!m_marksRead) {
        // Read when their tab is first shown: opening the screen need not wait.
        const BusyCursor busy;
        ResultArchive *archive = m_state.archive.use(loggedResults(m_state.collection));
        ArchiveResult why = archive ? ArchiveResult{} : ArchiveResult{ArchiveError::CannotOpen, {}};
        if (archive)
            m_marks = archive->marks(&why);
        if (!why.ok()) {
            m_problems->setStats({});
            if (archive)
                readFailed(why);
            else
                message(m_state.archive.takeMessage());
            return;
        }
        m_rowOfMark = rowsOfMarks(m_marks, m_tests.rows());
        m_marksRead = true;
    }
    countProblems();
}

void ArchiveScreen::countProblems()
{
    if (!m_marksRead)
        return;
    std::vector<char> counted(size_t(m_tests.rows().size()));
    for (size_t row = 0; row < counted.size(); ++row)
        counted[row] = m_tests.inDates(int(row));
    const bool first = m_problems->rowCount() == 0;
    m_problems->setStats(culegere::countProblems(m_marks, m_rowOfMark, counted));
    if (first)
        m_problemTable->resizeColumnsToContents();
}

void ArchiveScreen::exportShown()
{
    QString file =
        m_platform.askSaveFileName(this, kExportTitle, m_state.folder.resolve(kExportFile));
    if (file.isEmpty())
        return;
    // The suffix is part of the name: whatever was typed, a file there is
    // replaced only when the teacher says so.
    if (!file.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        file += QStringLiteral(".csv");
    if (QFileInfo::exists(file) &&
        !m_platform.showMessage(this, kReplace.arg(QDir::toNativeSeparators(file)),
                                Platform::Buttons::YesNo, kAppTitle))
        return;
    bool written = false;
    {
        const BusyCursor busy;
        const QByteArray bytes =
            m_tabs->currentIndex() == kProblemsTab
                ? [this] {
                      QList<QStringList> lines;
                      for (const ProblemStats &stats : m_problems->stats())
                          lines.append(problemLineText(stats));
                      return csvBytes(problemHeaderText(), lines, {IndexColumn});
                  }()
                : csvBytes(TestTable::headerText(), m_tests.shownText());
        AtomicWriteSet write;
        write.add(file, QFileInfo(file).fileName(), bytes);
        written = write.commit().ok();
    }
    if (!written) {
        message(kNotExported.arg(QDir::toNativeSeparators(file)));
        return;
    }
    playCue(m_platform, m_state.folder, cue::SetOk);
}

void ArchiveScreen::closeSteps()
{
    playCue(m_platform, m_state.folder, cue::CloseScreen);
    emit closed();
}

} // namespace culegere
