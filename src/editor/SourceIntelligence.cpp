// A source window and its language server: the text kept in step, the
// problems shown, and what the mouse rests on.
#include "editor/SourceIntelligence.h"

#include "editor/CTarnDoc.h"
#include "editor/CTarnView.h"
#include "framework/MdiMainFrame.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QToolTip>

namespace {

// How long the mouse rests before its problem or hover shows.
constexpr int kDwellMs = 600;
const QColor kErrorColour(0xe0, 0x1b, 0x24);
const QColor kWarningColour(0xe6, 0x8a, 0x00);

QPixmap problemBar(const QColor& colour)
{
    QPixmap bar(16, 16);
    bar.fill(Qt::transparent);
    QPainter painter(&bar);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(0, 1, 4, 14), 1.5, 1.5);
    return bar;
}

int indicatorOf(LspSeverity severity)
{
    return severity == LspSeverity::Error ? SourceIntelligence::kErrorIndicator
                                          : SourceIntelligence::kWarningIndicator;
}

} // namespace

SourceIntelligence::SourceIntelligence(CTarnView& view, CodeIntelligence* code,
                                       MessageChannel* messages)
    : m_view(view), m_code(code), m_messages(messages)
{
    using Sci = QsciScintillaBase;
    for (const auto& [indicator, colour] :
         {std::pair{kErrorIndicator, kErrorColour}, std::pair{kWarningIndicator, kWarningColour}}) {
        view.SendScintilla(Sci::SCI_INDICSETSTYLE, indicator, Sci::INDIC_SQUIGGLEPIXMAP);
        view.SendScintilla(Sci::SCI_INDICSETFORE, indicator, colour);
        view.SendScintilla(Sci::SCI_INDICSETUNDER, indicator, 1L);
    }
    // A bar down the margin's left edge, clear of the breakpoint's circle.
    view.markerDefine(problemBar(kErrorColour), kErrorMarker);
    view.markerDefine(problemBar(kWarningColour), kWarningMarker);
    // The marks share the breakpoint margin.
    const int margin = 1;
    view.setMarginMarkerMask(margin, view.marginMarkerMask(margin) | (1 << kErrorMarker)
                                         | (1 << kWarningMarker));
    view.SendScintilla(Sci::SCI_SETMOUSEDWELLTIME, kDwellMs);
    connect(&view, &Sci::SCN_MODIFIED, this,
            [this](int position, int type, const char* text, int length, int, int, int, int, int, int) {
                onModified(position, type, text, length);
            });
    connect(&view, &Sci::SCN_DWELLSTART, this, &SourceIntelligence::onDwell);
    connect(&view, &Sci::SCN_DWELLEND, this, [this](int, int, int) {
        m_dwellPosition = -1;
        QToolTip::hideText();
    });
    connect(&view, qOverload<const char*, int, int, int, int>(&Sci::SCN_USERLISTSELECTION), this,
            [this](const char*, int id, int, int, int) {
                if (id != kCompletionList)
                    return;
                const int index = int(m_view.SendScintilla(QsciScintillaBase::SCI_AUTOCGETCURRENT));
                insertCompletion(index);
            });
    connect(&view, &Sci::SCN_AUTOCCANCELLED, this, [this] { m_completionOpen = false; });
    view.viewport()->installEventFilter(this);
}

bool SourceIntelligence::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && mouse->modifiers() == Qt::ControlModifier) {
            const QPoint at = mouse->position().toPoint();
            const long position = m_view.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMPOINTCLOSE,
                                                       static_cast<unsigned long>(at.x()), long(at.y()));
            if (position >= 0 && served()) {
                m_view.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, position);
                goToDefinitionAt(position);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

SourceIntelligence::~SourceIntelligence()
{
    if (m_code && m_attached)
        m_code->detach(this);
}

QString SourceIntelligence::languagePath() const
{
    const fw::Document* document = m_view.fw::View::document();
    return document ? document->pathName() : QString();
}

QByteArray SourceIntelligence::languageText() const
{
    return m_view.textCopy();
}

qsizetype SourceIntelligence::languageTextSize() const
{
    return m_view.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
}

bool SourceIntelligence::languageTextIsUtf8() const
{
    return m_view.isUtf8();
}

QByteArray SourceIntelligence::languageLine(int line) const
{
    using Sci = QsciScintillaBase;
    if (line < 0 || line >= m_view.SendScintilla(Sci::SCI_GETLINECOUNT))
        return {};
    const long start = m_view.SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    const long end = m_view.SendScintilla(Sci::SCI_GETLINEENDPOSITION, line);
    return m_view.byteRange(start, end);
}

void SourceIntelligence::reattach()
{
    if (!m_code)
        return;
    m_pending.clear();
    m_wholeTextPending = false;
    m_attachedPath = languagePath();
    m_attached = true;
    showDiagnostics({});
    m_reports = 0;
    m_code->attach(this);
}

void SourceIntelligence::documentSaved()
{
    if (!m_code)
        return;
    if (!m_attached || languagePath() != m_attachedPath) {
        reattach();
        return;
    }
    flushChanges();
    m_code->saved(this);
}

bool SourceIntelligence::completionOpen() const
{
    return m_completionOpen && m_view.SendScintilla(QsciScintillaBase::SCI_AUTOCACTIVE) != 0;
}

bool SourceIntelligence::served() const
{
    return m_code && m_attached && m_code->serves(this);
}

void SourceIntelligence::onModified(int position, int type, const char* text, int length)
{
    using Sci = QsciScintillaBase;
    if (!m_code || !m_attached || !(type & (Sci::SC_MOD_BEFOREINSERT | Sci::SC_MOD_BEFOREDELETE)))
        return;
    if (m_wholeTextPending) {
        // Already going as a whole.
    } else if (type & Sci::SC_MOD_BEFOREINSERT) {
        if (text)
            m_pending.push_back({{lspPosition(position), lspPosition(position)},
                                 QString::fromUtf8(text, length)});
        else
            m_wholeTextPending = true;
    } else {
        m_pending.push_back({{lspPosition(position), lspPosition(position + length)}, QString()});
    }
    if (!m_flushQueued) {
        m_flushQueued = true;
        // After the whole edit (a paste, Replace All, an undo step): one
        // message for all its changes.
        QMetaObject::invokeMethod(this, [this] { flushChanges(); }, Qt::QueuedConnection);
    }
}

void SourceIntelligence::flushChanges()
{
    m_flushQueued = false;
    if (!m_code || !m_attached)
        return;
    if (m_wholeTextPending) {
        m_pending.clear();
        m_wholeTextPending = false;
        m_code->changed(this, {LspTextEdit{{{0, 0}, {-1, -1}}, QString::fromUtf8(languageText())}});
        return;
    }
    if (m_pending.empty())
        return;
    m_code->changed(this, std::exchange(m_pending, {}));
}

LspPosition SourceIntelligence::lspPosition(long position) const
{
    using Sci = QsciScintillaBase;
    const int line = int(m_view.SendScintilla(Sci::SCI_LINEFROMPOSITION, position));
    return {line, int(position - m_view.SendScintilla(Sci::SCI_POSITIONFROMLINE, line))};
}

long SourceIntelligence::position(const LspPosition& at) const
{
    using Sci = QsciScintillaBase;
    const long lines = m_view.SendScintilla(Sci::SCI_GETLINECOUNT);
    if (at.line >= lines)
        return m_view.SendScintilla(Sci::SCI_GETLENGTH);
    const long start = m_view.SendScintilla(Sci::SCI_POSITIONFROMLINE, at.line);
    const long end = m_view.SendScintilla(Sci::SCI_GETLINEENDPOSITION, at.line);
    return std::min(start + long(at.column), end);
}

void SourceIntelligence::showDiagnostics(const std::vector<LspDiagnostic>& diagnostics)
{
    using Sci = QsciScintillaBase;
    ++m_reports;
    const long length = m_view.SendScintilla(Sci::SCI_GETLENGTH);
    if (m_problemsMarked) {
        for (int indicator : {kErrorIndicator, kWarningIndicator}) {
            m_view.SendScintilla(Sci::SCI_SETINDICATORCURRENT, indicator);
            m_view.SendScintilla(Sci::SCI_INDICATORCLEARRANGE, 0UL, length);
        }
        m_view.markerDeleteAll(kErrorMarker);
        m_view.markerDeleteAll(kWarningMarker);
        m_problemsMarked = false;
    }
    m_diagnostics.clear();
    for (const LspDiagnostic& diagnostic : diagnostics) {
        // Information and hints are the server's asides, not problems.
        if (diagnostic.severity != LspSeverity::Error && diagnostic.severity != LspSeverity::Warning)
            continue;
        long start = position(diagnostic.range.start);
        long end = position(diagnostic.range.end);
        if (end <= start) {
            // An empty range marks the character there (or the one before
            // at a line's end).
            end = std::min(start + 1, length);
            if (end == start && start > 0)
                --start;
        }
        m_diagnostics.push_back(diagnostic);
        m_problemsMarked = true;
        m_view.SendScintilla(Sci::SCI_SETINDICATORCURRENT, indicatorOf(diagnostic.severity));
        // The value names the problem (1-based), for its text.
        m_view.SendScintilla(Sci::SCI_SETINDICATORVALUE, long(m_diagnostics.size()));
        m_view.SendScintilla(Sci::SCI_INDICATORFILLRANGE, start, end - start);
        const int line = int(m_view.SendScintilla(Sci::SCI_LINEFROMPOSITION, start));
        const int marker = diagnostic.severity == LspSeverity::Error ? kErrorMarker : kWarningMarker;
        if (!(m_view.markersAtLine(line) & (1 << kErrorMarker)))
            m_view.markerAdd(line, marker);
    }
}

std::vector<SourceIntelligence::Problem> SourceIntelligence::problems() const
{
    using Sci = QsciScintillaBase;
    std::vector<Problem> found;
    const long length = m_view.SendScintilla(Sci::SCI_GETLENGTH);
    for (int indicator : {kErrorIndicator, kWarningIndicator}) {
        long at = 0;
        while (at < length) {
            const long value = m_view.SendScintilla(Sci::SCI_INDICATORVALUEAT, indicator, at);
            const long end = m_view.SendScintilla(Sci::SCI_INDICATOREND, indicator, at);
            if (value > 0 && value <= long(m_diagnostics.size()))
                found.push_back({at, end, m_diagnostics[value - 1].severity,
                                 m_diagnostics[value - 1].message});
            if (end <= at)
                break;
            at = end;
        }
    }
    std::sort(found.begin(), found.end(),
              [](const Problem& a, const Problem& b) { return a.start < b.start; });
    return found;
}

QString SourceIntelligence::problemTextAt(long position) const
{
    QStringList texts;
    for (const Problem& problem : problems())
        if (position >= problem.start && position < problem.end)
            texts << problem.message;
    return texts.join(u'\n');
}

bool SourceIntelligence::goToProblem(bool forward)
{
    const std::vector<Problem> all = problems();
    if (all.empty()) {
        showStatus(QStringLiteral("No problems in this window"));
        return false;
    }
    const long caret = m_view.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const long anchor = m_view.SendScintilla(QsciScintillaBase::SCI_GETANCHOR);
    const long from = std::min(caret, anchor);
    const Problem* chosen = nullptr;
    if (forward) {
        for (const Problem& problem : all)
            if (problem.start > from) {
                chosen = &problem;
                break;
            }
        if (!chosen)
            chosen = &all.front();
    } else {
        for (auto it = all.rbegin(); it != all.rend(); ++it)
            if (it->start < from) {
                chosen = &*it;
                break;
            }
        if (!chosen)
            chosen = &all.back();
    }
    m_view.showRange(chosen->start, chosen->end);
    showStatus((chosen->severity == LspSeverity::Error ? QStringLiteral("error: ")
                                                       : QStringLiteral("warning: "))
               + chosen->message);
    return true;
}

void SourceIntelligence::showStatus(const QString& text) const
{
    if (fw::MdiMainFrame* frame = m_view.mainFrame())
        frame->showLastingStatus(text, 8000);
}

void SourceIntelligence::onDwell(int position, int x, int y)
{
    if (position < 0)
        return;
    m_dwellPosition = position;
    const QPoint at = m_view.viewport()->mapToGlobal(QPoint(x, y));
    const QString problem = problemTextAt(position);
    if (!problem.isEmpty()) {
        QToolTip::showText(at, problem, &m_view);
        return;
    }
    if (!served())
        return;
    flushChanges();
    m_code->hover(this, lspPosition(position), [this, position, at](QString& text, const QString&) {
        if (m_dwellPosition != position || text.isEmpty())
            return;
        QToolTip::showText(at, text, &m_view);
    });
}
