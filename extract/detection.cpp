#include "extract/detection.h"

#include "extract/candidatescore.h"
#include "extract/keynumber.h"
#include "extract/secondlook.h"
#include "text/textops.h"

#include <QStringView>
#include <QVector>

#include <utility>

namespace pagewick::extract {

namespace {

constexpr qsizetype kSeparatorLength = 60;

const QString &RecordSeparator()
{
    static const QString separator(kSeparatorLength, QLatin1Char('-'));
    return separator;
}

const QString kCrLf = QStringLiteral("\r\n");

struct AcceptedCandidate
{
    qsizetype index = 0;
    QString key;
};

// The log is built once, after the scan, so that a stopped run has nothing
// to undo and the log is allocated in one piece.
QString BuildCandidateLog(const PageDocument &doc, const QVector<AcceptedCandidate> &accepted)
{
    qsizetype size = 0;
    for (const AcceptedCandidate &c : accepted)
        size += c.key.size() + 1 + 2 + doc.all.at(c.index).innerText.size() + 2
            + kSeparatorLength + 2;

    QString log;
    log.reserve(size);
    for (const AcceptedCandidate &c : accepted) {
        log += c.key;
        log += QLatin1Char(':');
        log += kCrLf;
        log += doc.all.at(c.index).innerText;
        log += kCrLf;
        log += RecordSeparator();
        log += kCrLf;
    }
    return log;
}

} // namespace

std::optional<QString> DetectMainText(const PageDocument &doc, CandidateState &state,
                                      const DetectionHooks &hooks)
{
    const PunctuationMode mode = ChoosePunctuationMode(doc.bodyText);
    // The in-memory document does not change during a run, so the page length
    // is read once rather than once per element.
    const qsizetype pageLength = doc.bodyText ? doc.bodyText->size() : 0;
    const qsizetype count = doc.all.size();

    QVector<AcceptedCandidate> accepted;
    QVector<AcceptedMeasures> measures;
    for (qsizetype i = 0; i < count; ++i) {
        if (hooks.progress)
            hooks.progress(ProgressNumber(i, count));

        const PageElement &element = doc.all.at(i);
        if (!PassesPreFilter(element))
            continue;
        const ElementMetrics metrics = MeasureElement(element, mode);

        if (hooks.yield && !hooks.yield())
            return std::nullopt;

        // Without a page length the mark density cannot be scored.
        if (pageLength == 0 || !IsAccepted(metrics))
            continue;
        accepted.append({i, CandidateKey(metrics, pageLength, element.tagName)});
        measures.append({metrics.textLength, metrics.markCount});
    }

    QString log = BuildCandidateLog(doc, accepted);

    // The keys as the "~"-joined key list split at "~" would give them: an
    // empty text first, then every key (no key can hold a "~"); nothing at
    // all when no element was accepted.
    QStringList keys;
    if (!accepted.isEmpty()) {
        keys.reserve(accepted.size() + 1);
        keys.append(QString());
        for (const AcceptedCandidate &c : accepted)
            keys.append(c.key);
    }
    text::SortStr(keys, 0, int(keys.size()) - 1);

    QString body;
    if (!keys.isEmpty())
        body = CandidateRecordBody(log, keys.constLast());
    if (mode == PunctuationMode::Western && !keys.isEmpty()) {
        QStringList acceptedKeys;
        qsizetype winner = -1;
        for (qsizetype k = 0; k < accepted.size(); ++k) {
            acceptedKeys.append(accepted.at(k).key);
            // The record found first, as the body above was.
            if (winner < 0 && accepted.at(k).key == keys.constLast())
                winner = k;
        }
        const qsizetype taken = SecondLook(mode, measures, acceptedKeys, winner);
        if (taken != winner)
            body = kCrLf + doc.all.at(accepted.at(taken).index).innerText + kCrLf;
    }

    state.CandidateLog = std::move(log);
    state.CandidateKeys = std::move(keys);
    return body;
}

QString ProgressNumber(qsizetype index, qsizetype count)
{
    return FormatKeyNumber(100 * RoundHalfEven4(double(index) / double(count)));
}

QString ProgressCaption(const QString &title, const QString &number)
{
    return title + QStringLiteral(" - 正在处理中 ") + number + QLatin1Char('%');
}

qsizetype FindCandidateRecord(const QString &log, const QString &key)
{
    const QString head = key + QLatin1Char(':') + kCrLf;
    const QString boundary = kCrLf + RecordSeparator() + kCrLf;
    const QStringView logView(log);

    // An accepted text holds at most 18 "-", so a line of 60 "-" inside the
    // log is always a record's closing line.
    for (qsizetype pos = log.indexOf(head); pos >= 0; pos = log.indexOf(head, pos + 1)) {
        if (pos == 0)
            return pos;
        if (pos >= boundary.size()
            && logView.mid(pos - boundary.size(), boundary.size()) == boundary)
            return pos;
    }
    return -1;
}

QString CandidateRecordBody(const QString &log, const QString &key)
{
    const qsizetype record = FindCandidateRecord(log, key);
    if (record < 0)
        return QString();
    const qsizetype start = record + key.size() + 1;
    const qsizetype end = log.indexOf(RecordSeparator(), record);
    if (end < start)
        return QString();
    return log.mid(start, end - start);
}

} // namespace pagewick::extract
