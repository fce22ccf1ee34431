#include "tools/sample_source.h"

#include "store/codepage.h"
#include "store/collection.h"
#include "store/records.h"

#include <QRegularExpression>

namespace culegere {

namespace {

const QString kChapterKey = QStringLiteral("capitol:");
const QString kAnswerKey = QStringLiteral("raspuns:");
constexpr int kVariants = 5;

QChar letter(int k)
{
    return QChar(u'a' + k);
}

// Walks the lines once; `m_open` is the problem being read, whose progress is
// told by how many variants it has and whether it is complete.
class Parser
{
public:
    SampleParse run(const QString &text);

private:
    bool chapterLine(const QString &name);
    bool variantLine(int k, const QString &text);
    bool answerLine(const QString &value);
    bool statementLine(const QString &text);
    bool closeProblem();
    bool closeChapter();
    bool fail(int line, const QString &message);

    SampleParse m_result;
    SampleProblem m_open;
    bool m_inProblem = false;
    int m_variants = 0;
    int m_line = 0;
    int m_problemCount = 0;
};

SampleParse Parser::run(const QString &text)
{
    static const QRegularExpression variant(QStringLiteral("^([a-e])\\)\\s*(.*)$"));
    const QStringList lines = text.split(u'\n');
    for (m_line = 1; m_line <= lines.size(); ++m_line) {
        const QString line = lines[m_line - 1].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        bool good;
        if (line.startsWith(kChapterKey)) {
            good = chapterLine(line.mid(kChapterKey.size()).trimmed());
        } else if (line.startsWith(kAnswerKey)) {
            good = answerLine(line.mid(kAnswerKey.size()).trimmed());
        } else if (const auto match = variant.match(line); match.hasMatch()) {
            good = variantLine(match.captured(1)[0].unicode() - u'a', match.captured(2));
        } else {
            good = statementLine(line);
        }
        if (!good)
            return m_result;
    }
    if (m_result.chapters.empty())
        fail(1, QStringLiteral("the text holds no chapter"));
    else if (closeProblem())
        closeChapter();
    return m_result;
}

bool Parser::chapterLine(const QString &name)
{
    if (!closeProblem() || !closeChapter())
        return false;
    if (name.isEmpty())
        return fail(m_line, QStringLiteral("a chapter needs a name"));
    const QByteArray bytes = encodeCp1250(name);
    if (bytes.size() > decltype(ChapterRecord::Name)::Width)
        return fail(m_line, QStringLiteral("the chapter name is longer than 100 bytes"));
    for (const SampleChapter &chapter : m_result.chapters) {
        if (encodeCp1250(chapter.name) == bytes)
            return fail(m_line, QStringLiteral("the chapter \"%1\" is already defined at line %2")
                                    .arg(name)
                                    .arg(chapter.line));
    }
    if (static_cast<int>(m_result.chapters.size()) == Collection::MaxChapters)
        return fail(m_line, QStringLiteral("more than %1 chapters").arg(Collection::MaxChapters));
    m_result.chapters.push_back({name, {}, m_line});
    return true;
}

bool Parser::statementLine(const QString &text)
{
    if (m_result.chapters.empty())
        return fail(m_line, QStringLiteral("a problem before the first \"capitol:\" line"));
    if (m_inProblem && m_variants == kVariants)
        return fail(m_line, QStringLiteral("expected \"raspuns: <a-e>\" after the five variants"));
    if (m_inProblem && m_variants > 0)
        return fail(m_line, QStringLiteral("expected \"%1) ...\"").arg(letter(m_variants)));
    if (!m_inProblem) {
        m_open = SampleProblem();
        m_open.line = m_line;
        m_inProblem = true;
        m_variants = 0;
    }
    m_open.statement.append(text);
    return true;
}

bool Parser::variantLine(int k, const QString &text)
{
    if (!m_inProblem)
        return fail(m_line, QStringLiteral("a variant without a statement before it"));
    if (m_variants == kVariants)
        return fail(m_line, QStringLiteral("expected \"raspuns: <a-e>\" after the five variants"));
    if (k != m_variants)
        return fail(m_line, QStringLiteral("expected \"%1) ...\", found \"%2)\"")
                                .arg(letter(m_variants), letter(k)));
    if (text.isEmpty())
        return fail(m_line, QStringLiteral("the variant %1) is empty").arg(letter(k)));
    m_open.variants[static_cast<std::size_t>(k)] = text;
    ++m_variants;
    return true;
}

bool Parser::answerLine(const QString &value)
{
    if (!m_inProblem)
        return fail(m_line, QStringLiteral("\"raspuns:\" without a problem before it"));
    if (m_variants < kVariants)
        return fail(m_line,
                    QStringLiteral("\"raspuns:\" before the variant %1)").arg(letter(m_variants)));
    if (value.size() != 1 || value[0] < u'a' || value[0] > u'e')
        return fail(m_line,
                    QStringLiteral("the answer must be one letter a-e, not \"%1\"").arg(value));
    if (m_problemCount == Collection::MaxProblems)
        return fail(m_line, QStringLiteral("more than %1 problems").arg(Collection::MaxProblems));
    m_open.correct = value[0].unicode() - u'a';
    m_open.index = QStringLiteral("%1").arg(++m_problemCount, 5, 10, QChar(u'0'));
    m_result.chapters.back().problems.push_back(m_open);
    m_inProblem = false;
    return true;
}

bool Parser::closeProblem()
{
    if (!m_inProblem)
        return true;
    if (m_variants < kVariants)
        return fail(m_open.line,
                    QStringLiteral("the problem lacks the variant %1)").arg(letter(m_variants)));
    return fail(m_open.line, QStringLiteral("the problem lacks its \"raspuns:\" line"));
}

bool Parser::closeChapter()
{
    if (m_result.chapters.empty() || !m_result.chapters.back().problems.empty())
        return true;
    return fail(
        m_result.chapters.back().line,
        QStringLiteral("the chapter \"%1\" holds no problem").arg(m_result.chapters.back().name));
}

bool Parser::fail(int line, const QString &message)
{
    m_result.chapters.clear();
    m_result.errorLine = line;
    m_result.error = message;
    return false;
}

} // namespace

int SampleParse::problemCount() const
{
    int count = 0;
    for (const SampleChapter &chapter : chapters)
        count += static_cast<int>(chapter.problems.size());
    return count;
}

SampleParse parseSample(const QString &text)
{
    return Parser().run(text);
}

} // namespace culegere
