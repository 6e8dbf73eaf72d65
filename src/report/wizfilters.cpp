#include "report/wizfilters.h"

#include "report/codepage.h"

#include <algorithm>

namespace cm {

namespace {

constexpr uint8_t kCurrentVersion = 101;
constexpr uint8_t kFlagSetKind = 3;
constexpr uint8_t kFlagClearKind = 1;
constexpr size_t kMaxEntries = 255;
constexpr qsizetype kMaxShortString = 255;

// Reads bytes strictly inside the view; every read says whether it fitted.
class Cursor {
public:
    explicit Cursor(QByteArrayView bytes) : bytes_(bytes) {}
    qsizetype pos() const { return pos_; }
    qsizetype left() const { return bytes_.size() - pos_; }
    bool byte(uint8_t& out)
    {
        if (left() < 1)
            return false;
        out = static_cast<uint8_t>(bytes_[pos_++]);
        return true;
    }
    bool shortString(QString& out)
    {
        uint8_t length = 0;
        if (!byte(length) || left() < length)
            return false;
        out = CodePage::layout().decode(bytes_.sliced(pos_, length));
        pos_ += length;
        return true;
    }

private:
    QByteArrayView bytes_;
    qsizetype pos_ = 0;
};

void appendShortString(QByteArray& out, const QString& text)
{
    const QByteArray bytes = CodePage::layout().encode(text).left(kMaxShortString);
    out += char(bytes.size());
    out += bytes;
}

} // namespace

std::optional<std::vector<WizFilter>> decodeWizFilters(QByteArrayView bytes, QString* error)
{
    Cursor in(bytes);
    uint8_t count = 0;
    if (!in.byte(count)) {
        if (error)
            *error = QStringLiteral("the filter bytes are empty");
        return std::nullopt;
    }
    std::vector<WizFilter> filters;
    for (int i = 0; i < count; ++i) {
        WizFilter f;
        uint8_t version = 0;
        uint8_t kindOrFlag = 0;
        const bool whole = in.byte(version) && in.shortString(f.firstText) && in.byte(f.firstByte) &&
                           in.byte(f.secondByte) && in.shortString(f.secondText) && in.byte(kindOrFlag) &&
                           in.byte(f.lastByte);
        if (!whole) {
            if (error)
                *error = QStringLiteral("filter %1 of %2 is cut off at byte %3").arg(i + 1).arg(count).arg(bytes.size());
            return std::nullopt;
        }
        f.kind = version < kCurrentVersion ? (kindOrFlag ? kFlagSetKind : kFlagClearKind) : kindOrFlag;
        filters.push_back(std::move(f));
    }
    if (in.left() > 0) {
        if (error)
            *error = QStringLiteral("%1 bytes follow the last filter").arg(in.left());
        return std::nullopt;
    }
    return filters;
}

QByteArray encodeWizFilters(const std::vector<WizFilter>& filters)
{
    const size_t count = std::min(filters.size(), kMaxEntries);
    QByteArray out;
    out += char(count);
    for (size_t i = 0; i < count; ++i) {
        const WizFilter& f = filters[i];
        out += char(kCurrentVersion);
        appendShortString(out, f.firstText);
        out += char(f.firstByte);
        out += char(f.secondByte);
        appendShortString(out, f.secondText);
        out += char(f.kind);
        out += char(f.lastByte);
    }
    return out;
}

} // namespace cm
