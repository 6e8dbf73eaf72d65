#include "logbook/adifreader.h"

#include "report/codepage.h"

#include <QStringDecoder>

namespace cm {

const QString* AdifRecord::find(const char* upperName) const
{
    for (const AdifField& f : fields)
        if (f.name == upperName)
            return &f.value;
    return nullptr;
}

namespace {

// Tag names are short; anything longer is not a tag.
constexpr qsizetype kMaxTag = 256;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

class AdifParser {
public:
    AdifParser(QByteArrayView data, int codePage) : d_(data), cp_(codePage) {}

    // Hostile input can hold millions of broken tags: keep the first ones.
    static constexpr int kMaxProblems = 200;

    AdifReadResult run(const std::function<void(const AdifRecord&)>& onRecord)
    {
        if (d_.startsWith("\xEF\xBB\xBF"))
            d_ = d_.sliced(3);
        bool anyHigh = false;
        for (char c : d_)
            if (static_cast<unsigned char>(c) >= 0x80) {
                anyHigh = true;
                break;
            }
        if (anyHigh) {
            QStringDecoder dec(QStringDecoder::Utf8);
            (void)QString(dec(d_));
            result_.utf8 = !dec.hasError();
        }
        // A header runs to <EOH>. Without one the records start at once.
        qsizetype start = 0;
        qsizetype eoh = -1;
        if (scan(0, true, nullptr, &eoh))
            start = eoh;
        result_.headerFound = eoh >= 0;
        if (!result_.headerFound) {
            qsizetype first = 0;
            while (first < d_.size() && isBlank(d_[first]))
                ++first;
            if (first < d_.size() && d_[first] != '<')
                note(result_.problems, QStringLiteral("The file has header text but no <EOH>; "
                                                   "it is read as records from the start"));
            headerProblems_.clear();
            suppressed_ = 0;
        } else {
            result_.problems << headerProblems_;
        }
        scan(start, false, &onRecord, nullptr);
        if (suppressed_ > 0)
            result_.problems << QStringLiteral("... and %1 more problems").arg(suppressed_);
        return result_;
    }

private:
    // Walks the tags from `pos`. In header mode it stops after <EOH> and
    // returns true with `eoh` set; otherwise it emits records.
    bool scan(qsizetype pos, bool header, const std::function<void(const AdifRecord&)>* onRecord, qsizetype* eoh)
    {
        AdifRecord rec;
        QStringList& problems = header ? headerProblems_ : result_.problems;
        qsizetype recordStart = -1;   // the first tag after the last <EOR>
        while (true) {
            const qsizetype lt = d_.indexOf('<', pos);
            if (lt < 0)
                break;
            if (recordStart < 0)
                recordStart = lt;
            const qsizetype window = std::min(kMaxTag, d_.size() - lt);
            qsizetype gt = 1;
            while (gt < window && d_[lt + gt] != '>' && d_[lt + gt] != '<')
                ++gt;
            if (gt >= window || d_[lt + gt] == '<') {
                // A tag that runs into the end of the file was cut there.
                if (!header && lt + gt >= d_.size())
                    result_.cutRecordAt = recordStart;
                // No '>' before the next tag: a broken tag that must not
                // swallow the next one.
                note(problems, QStringLiteral("Broken tag at byte %1: no '>'").arg(lt));
                pos = lt + 1;
                continue;
            }
            const QByteArrayView tagText = d_.sliced(lt + 1, gt - 1);
            pos = lt + gt + 1;
            const qsizetype colon = tagText.indexOf(':');
            const QByteArray name = (colon < 0 ? tagText : tagText.first(colon)).trimmed().toByteArray().toUpper();
            if (colon < 0) {
                if (name == "EOH") {
                    if (header) {
                        *eoh = pos;
                        return true;
                    }
                    continue;   // a stray <EOH> later in the file
                }
                if (name == "EOR") {
                    if (!header) {
                        rec.number = ++result_.records;
                        (*onRecord)(rec);
                        rec.fields.clear();
                        recordStart = -1;
                    }
                    continue;
                }
                // Confirmation services end their downloads with this
                // application-defined marker, which carries no length.
                if (name == "APP_LOTW_EOF")
                    continue;
                note(problems, QStringLiteral("Broken tag <%1> at byte %2: no length")
                                .arg(QString::fromLatin1(tagText.first(std::min<qsizetype>(tagText.size(), 40))))
                                .arg(lt));
                continue;
            }
            QByteArrayView lenText = tagText.sliced(colon + 1);
            const qsizetype colon2 = lenText.indexOf(':');
            if (colon2 >= 0)
                lenText = lenText.first(colon2);
            lenText = lenText.trimmed();
            qint64 len = 0;
            bool lenOk = !lenText.isEmpty() && !name.isEmpty();
            for (char c : lenText) {
                // Leading zeros are allowed; no field is a gigabyte long.
                if (c < '0' || c > '9' || len > 99'999'999) {
                    lenOk = false;
                    break;
                }
                len = len * 10 + (c - '0');
            }
            if (!lenOk) {
                note(problems, QStringLiteral("Broken tag <%1> at byte %2")
                                .arg(QString::fromLatin1(tagText.first(std::min<qsizetype>(tagText.size(), 40))))
                                .arg(lt));
                continue;
            }
            const qsizetype dataStart = pos;
            qsizetype end = -1;
            if (fitsAt(dataStart + len)) {
                end = dataStart + len;
            } else if (result_.utf8) {
                const qsizetype charEnd = utf8CharsEnd(dataStart, len);
                if (fitsAt(charEnd))
                    end = charEnd;
            }
            if (end < 0) {
                // Trailing text after a field is allowed, as long as the
                // data does not run into the next tag.
                const qsizetype nextLt = d_.indexOf('<', dataStart);
                if (dataStart + len <= (nextLt < 0 ? d_.size() : nextLt))
                    end = dataStart + len;
            }
            if (end < 0) {
                note(problems, QStringLiteral("Field %1 at byte %2: the length %3 fits neither in bytes "
                                           "nor in characters; the field is left out")
                                .arg(QString::fromLatin1(name)).arg(lt).arg(len));
                const qsizetype nextLt = d_.indexOf('<', dataStart);
                if (!header && nextLt < 0)
                    result_.cutRecordAt = recordStart;   // the value runs past the end of the file
                pos = nextLt < 0 ? d_.size() : nextLt;
                continue;
            }
            if (!header)
                rec.fields.push_back({name, decode(d_.sliced(dataStart, end - dataStart))});
            pos = end;
        }
        if (!header && !rec.fields.empty())
            result_.cutRecordAt = recordStart;
        return false;
    }

    // The data ends cleanly at `end` when only blanks lie between it and
    // the next tag (or the end of the file).
    bool fitsAt(qsizetype end) const
    {
        if (end > d_.size())
            return false;
        while (end < d_.size() && isBlank(d_[end]))
            ++end;
        return end == d_.size() || d_[end] == '<';
    }

    qsizetype utf8CharsEnd(qsizetype pos, qint64 chars) const
    {
        for (; chars > 0; --chars) {
            if (pos >= d_.size())
                return d_.size() + 1;   // fewer characters than the length: no fit
            const auto b = static_cast<unsigned char>(d_[pos]);
            pos += b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        }
        return pos;
    }

    QString decode(QByteArrayView bytes) const
    {
        if (result_.utf8)
            return QString::fromUtf8(bytes);
        return cp_.decode(bytes);
    }

    void note(QStringList& problems, const QString& message)
    {
        if (problems.size() < kMaxProblems)
            problems << message;
        else
            ++suppressed_;
    }

    QByteArrayView d_;
    int suppressed_ = 0;
    CodePage cp_;
    AdifReadResult result_;
    QStringList headerProblems_;
};

} // namespace

AdifReadResult readAdif(QByteArrayView data, const std::function<void(const AdifRecord&)>& record,
                        int singleByteCodePage)
{
    AdifParser parser(data, singleByteCodePage);
    return parser.run(record);
}

} // namespace cm
