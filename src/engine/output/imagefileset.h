#pragma once
// The image files of one export, all or nothing. Each page's file is
// written under a temporary name next to where it goes, and the files get
// their names only when every page was written: an export that stops half
// way (cancelled, a full disk, a name that cannot be written) leaves no
// half set behind, and files that had the names before keep them unchanged.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace cm {

class ImageFileSet {
public:
    ImageFileSet() = default;
    // Removes the files of a set that was not committed.
    ~ImageFileSet();
    ImageFileSet(const ImageFileSet&) = delete;
    ImageFileSet& operator=(const ImageFileSet&) = delete;

    // The next page's file, written under a temporary name in `folder`;
    // throws EQRError.
    void add(const QString& folder, const QByteArray& bytes);
    int size() const { return int(files_.size()); }

    // Gives page n's file the name names[n - 1], replacing a file of that
    // name. Throws EQRError when one cannot be given; every name then is
    // as it was before, and the files of the set are gone.
    void commit(const QStringList& names);

    // The folder a file named after `pattern` goes to: its folder part up to
    // the first {Field}, whose values never hold a folder separator.
    static QString folderOf(const QString& pattern);

private:
    void removeAll();

    std::vector<QString> files_;   // temporary names, by page
};

} // namespace cm
