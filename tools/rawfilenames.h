#pragma once
// File names on the command line that are not valid UTF-8. Qt holds file
// names as Unicode text and would open another name than the one typed, so
// each such argument is handed to the command as a stand-in path Qt can
// use: a link to the file for a name that is read, or a new file that is
// moved to the name typed when the command succeeds, for a name that is
// written. Messages name the file as typed, with the bytes that are not
// UTF-8 shown as \xNN.
#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QTextStream>
#include <cstdio>
#include <vector>

namespace cm::cli {

// The bytes as text: runs of valid UTF-8 as they are, other bytes as \xNN.
QString escapedFileName(QByteArrayView bytes);
bool isValidUtf8(QByteArrayView bytes);

class RawFileNames {
public:
    RawFileNames() = default;
    ~RawFileNames();   // removes the stand-ins
    RawFileNames(const RawFileNames&) = delete;
    RawFileNames& operator=(const RawFileNames&) = delete;

    // The stand-in for a name that is read (`output` false) or written;
    // empty with the reason when none can be made.
    QString standIn(QByteArrayView raw, bool output, QString* error);
    bool empty() const { return names_.empty(); }

    // Moves every written stand-in to its name; false with the reason (the
    // file under that name is then left as it was).
    bool commitOutputs(QString* error);
    // The text with every stand-in path replaced by the name as typed.
    QString shown(QString text) const;

private:
    struct Name {
        QByteArray raw;
        QByteArray absoluteRaw;
        QString escaped;
        QString standIn;
        QByteArray folder;   // the stand-in's own folder
        bool output = false;
    };
    bool makeRoot(QString* error);
    static bool canWrite(const Name& n, QString* error);

    QByteArray root_;   // private folder of the stand-ins
    std::vector<Name> names_;
};

// Writes to a C stream, with the stand-in paths of `names` shown as typed;
// it passes on whole lines, so that no path is cut in two.
class ShownNamesDevice final : public QIODevice {
public:
    ShownNamesDevice(std::FILE* to, const RawFileNames& names);
    ~ShownNamesDevice() override;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    void emitText(const QByteArray& bytes);

    std::FILE* to_;
    const RawFileNames& names_;
    QByteArray pending_;
};

} // namespace cm::cli
