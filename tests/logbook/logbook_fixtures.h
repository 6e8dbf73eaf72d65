#pragma once
// Fixtures the logbook tests make themselves: Paradox tables written by a
// small writer of the documented layout, SQLite logbooks, ADIF text.
#include "report/dataset.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTemporaryDir>
#include <QTime>
#include <QVariant>
#include <vector>

namespace cmtest {

struct PxField {
    QByteArray name;
    int type;
    int size;
};

struct PxTable {
    std::vector<PxField> fields;
    std::vector<QByteArray> records;   // each exactly one record long
    int version = 12;
    int codePage = 1252;
    int primaryKeyFields = 0;
    int blockKb = 2;
    int recordsPerBlock = 0;           // 0: as many as fit
    int fileType = -1;                 // -1: a data table, keyed or not by primaryKeyFields
    QByteArray tableName;

    int recordSize() const;
    QByteArray build() const;
};

// The 19 fields of the logbook table; the twelfth field's type can be changed.
std::vector<PxField> pxLogbookFields(int twelfthType = 0x01);
// One record of pxLogbookFields() (twelfth field alphanumeric).
QByteArray pxLogbookRecord(int log, QDate date, QTime time, const QByteArray& call, const QByteArray& band,
                           double freq, int cq);

QByteArray pxAlpha(const QByteArray& text, int size);
QByteArray pxShort(qint16 v);
QByteArray pxLong(qint32 v);
QByteArray pxDouble(double v);
QByteArray pxDate(QDate d);
QByteArray pxTime(QTime t);
QByteArray pxLogical(bool v);
QByteArray pxNull(int size);

bool writeFile(const QString& path, const QByteArray& bytes);

// A logbook file holding `rows` (one value per persistent field, Log empty).
QString makeSqliteLogbook(const QTemporaryDir& dir, const QString& name,
                          const std::vector<std::vector<QVariant>>& rows);
// A SQLite file made by `createSql` (statements separated by semicolons).
QString makeSqliteFile(const QTemporaryDir& dir, const QString& name, const QString& createSql);

// A row of persistent values.
std::vector<QVariant> qso(const QString& call, QDate date, QTime time, const QString& band,
                          const QString& mode, double freq, const QString& country,
                          const QString& qslVia = QString());

} // namespace cmtest
