#pragma once
// Replaying recorded page pictures at any scale.
#include <QByteArrayView>
#include <QPicture>
#include <QRectF>

class QPainter;

namespace cm {

// Pages are recorded at this resolution (dots per inch), independent of the
// display, so that the same run gives the same pictures on every machine.
constexpr int PageRecordingDpi = 96;

// A new picture whose page rectangle is width × height dots.
QPicture newPagePicture(int width, int height);

// Makes a picture from stored bytes. Checks signature and checksum first,
// so damaged bytes give an error instead of a half-drawn page; false when the
// bytes are no page picture.
bool pictureFromData(QByteArrayView data, QPicture& picture);

// Whether the records of page bytes are framed and counted as a page
// picture's must be (not the checksum); pictureFromData checks this too.
bool pageRecordsValid(QByteArrayView data);

// Draws the whole page rectangle of `picture` into `target` (device
// coordinates of the painter). A null picture draws nothing. The picture is
// trusted: pages read from files are drawn with PagePlayer, which keeps a
// forged page's extremes from the painter.
void drawPage(QPainter& painter, const QPicture& picture, const QRectF& target);

} // namespace cm
