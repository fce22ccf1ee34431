#include "viewing/archive_screen.h"

#include "archive/archive_access.h"
#include "archive/csv.h"
#include "archive/problem_table.h"
#include "platform/cue.h"
#include "store/atomic_file.h"
#include "viewing/grade_chart.h"
#include "widgets/controls.h"

#include <QChartView>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace culegere {

namespace {

const QString kExportTitle = QStringLiteral("Exporta");
const QString kExportFile = QStringLiteral("\\arhiva.csv");
// %1: the file.
const QString kNotExported = QStringLiteral(
    "Fisierul %1 nu a putut fi scris! Verificati spatiul liber si dreptul de scriere...");
QDateEdit *dateField()
{
    auto *field = new QDateEdit;
    field->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    field->setCalendarPopup(true);
    // The calendar's months and days in Romanian, whatever the desktop's language.
    field->setLocale(QLocale(QLocale::Romanian, QLocale::Romania));
    return field;
}

} // namespace

ArchiveScreen::ArchiveScreen(AppState &state, Platform &platform)
    : SecondaryScreen(QStringLiteral("Arhiva rezultatelor"), FrameClose::Destroys), m_state(state),
      m_platform(platform)
{
    setHelpPage(QStringLiteral("vizualizare.html#arhiva"));
    m_name = new QLineEdit;
    m_name->setAccessibleName(QStringLiteral("Numele elevului (o parte din el)"));
    m_name->setClearButtonEnabled(true);
    m_from = dateField();
    m_from->setAccessibleName(QStringLiteral("De la data"));
    m_to = dateField();
    m_to->setAccessibleName(QStringLiteral("Pana la data"));

    m_testTable = new QTableView;
    m_testTable->setModel(&m_tests);
    m_testTable->setSortingEnabled(true);
    m_testTable->sortByColumn(TestTable::Date, Qt::AscendingOrder);
    m_testTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_testTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_testTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_testTable->verticalHeader()->hide();
    m_testTable->horizontalHeader()->setStretchLastSection(true);
    m_testTable->setColumnWidth(TestTable::Pupil, 220);
    m_testTable->setAccessibleName(QStringLiteral("Testele arhivate"));

    m_chart = new QChartView;
    m_chart->setRenderHint(QPainter::Antialiasing);
    m_chart->setMinimumHeight(320);
    m_chart->chart()->legend()->setAlignment(Qt::AlignRight);
    m_chart->setAccessibleName(QStringLiteral("Notele elevului in timp"));
    m_average = new QLabel;
    m_average->setTextFormat(Qt::PlainText);

    m_problemTable = new QTableWidget(0, int(problemHeaderText().size()));
    m_problemTable->setHorizontalHeaderLabels(problemHeaderText());
    m_problemTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_problemTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_problemTable->verticalHeader()->hide();
    m_problemTable->horizontalHeader()->setStretchLastSection(true);
    m_problemTable->setColumnWidth(1, 260);
    m_problemTable->setAccessibleName(QStringLiteral("Statistica pe probleme"));

    m_export = new QPushButton(QStringLiteral("Exporta"));
    m_ok = new QPushButton(QStringLiteral("Ok"));
    nameControls({{this, "frmArhiva"},
                  {m_name, "txtNume"},
                  {m_from, "dtDeLa"},
                  {m_to, "dtPanaLa"},
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
    testsLayout->addWidget(m_testTable, 1);
    testsLayout->addWidget(m_average);
    testsLayout->addWidget(m_chart, 1);
    m_tabs = new QTabWidget;
    m_tabs->addTab(testsPage, QStringLiteral("Teste"));
    m_tabs->addTab(m_problemTable, QStringLiteral("Probleme"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_export);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);
    finishBuilding({900, 700});

    connect(m_name, &QLineEdit::textChanged, this, &ArchiveScreen::applyFilter);
    connect(m_from, &QDateEdit::dateChanged, this, &ArchiveScreen::applyFilter);
    connect(m_to, &QDateEdit::dateChanged, this, &ArchiveScreen::applyFilter);
    connect(m_testTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ArchiveScreen::showPupil);
    connect(m_export, &QPushButton::clicked, this, &ArchiveScreen::exportShown);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        if (tab == 1)
            fillProblems();
    });
    closesTheScreen(m_ok);
}

void ArchiveScreen::message(const QString &text)
{
    m_platform.showMessage(this, text, Platform::Buttons::Ok, kAppTitle);
}

bool ArchiveScreen::open()
{
    ResultArchive *archive = m_state.archive.use(loggedResults(m_state.collection));
    if (const QString told = m_state.archive.takeMessage(); !told.isEmpty())
        message(told);
    if (!archive)
        return false;
    QList<ArchiveRow> rows = archive->rows();
    // The date fields start at the archive's first and last days.
    QDate first = m_platform.today();
    QDate last = first;
    for (const ArchiveRow &row : rows) {
        if (!row.date.isValid())
            continue;
        first = std::min(first, row.date);
        last = std::max(last, row.date);
    }
    for (QDateEdit *field : {m_from, m_to}) {
        const QSignalBlocker quiet(field);
        field->setDate(field == m_from ? first : last);
    }
    m_tests.setRows(std::move(rows));
    applyFilter();
    m_problemStats = hardestFirst(archive->problemStats());
    m_problemsShown = false;
    if (m_tabs->currentIndex() == 1)
        fillProblems();
    present();
    return true;
}

void ArchiveScreen::applyFilter()
{
    m_tests.setFilter(m_name->text(), m_from->date(), m_to->date());
    showPupil();
}

void ArchiveScreen::showPupil()
{
    // The pupil of the test shown selected in the table, or the only pupil shown.
    QString key;
    QString pupil;
    const QModelIndexList selected = m_testTable->selectionModel()->selectedRows();
    if (const QModelIndex current = selected.value(0); current.isValid()) {
        key = m_tests.shownRow(current.row()).pupilKey;
        pupil = m_tests.shownRow(current.row()).pupil;
    } else if (m_tests.shownCount() > 0) {
        key = m_tests.shownRow(0).pupilKey;
        pupil = m_tests.shownRow(0).pupil;
        for (int i = 1; i < m_tests.shownCount() && !key.isEmpty(); ++i) {
            if (m_tests.shownRow(i).pupilKey != key)
                key.clear();
        }
    }
    const QList<ArchiveRow> grades = key.isEmpty() ? QList<ArchiveRow>() : m_tests.testsOf(key);
    drawGrades(m_chart->chart(), pupil, grades);
    m_average->setText(gradeCaption(key.isEmpty() ? QString() : pupil, grades));
}

void ArchiveScreen::fillProblems()
{
    // Filled when its tab is first shown: opening the screen need not wait.
    if (m_problemsShown)
        return;
    m_problemsShown = true;
    m_problemTable->setRowCount(int(m_problemStats.size()));
    for (int row = 0; row < m_problemStats.size(); ++row) {
        const QStringList line = problemLineText(m_problemStats[row]);
        for (int column = 0; column < line.size(); ++column)
            m_problemTable->setItem(row, column, new QTableWidgetItem(line[column]));
    }
}

void ArchiveScreen::exportShown()
{
    QString file =
        m_platform.askSaveFileName(this, kExportTitle, m_state.folder.resolve(kExportFile));
    if (file.isEmpty())
        return;
    if (!file.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        file += QStringLiteral(".csv");
    QByteArray bytes;
    if (m_tabs->currentIndex() == 0) {
        bytes = csvBytes(TestTable::headerText(), m_tests.shownText());
    } else {
        QList<QStringList> lines;
        for (const ProblemStats &stats : m_problemStats)
            lines.append(problemLineText(stats));
        bytes = csvBytes(problemHeaderText(), lines);
    }
    AtomicWriteSet write;
    write.add(file, QFileInfo(file).fileName(), bytes);
    if (!write.commit().ok()) {
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
