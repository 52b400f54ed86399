#pragma once

// A project: the object's details and the documents of all its positions (the
// devices of a heating substation or a building, each with its mark on the
// drawings), kept in one file so that it travels as one attachment.
//
// The project file is a document of the ordinary format, of document type
// common::docProject, read by the same hardened reader:
// - the details are texts under 600-606, the date a "yyyy-MM-dd" text under
//   607; an empty detail is not written;
// - the position at place i (index i, from 0, in the order of the positions)
//   is the whole file of its document, as Doc::toByteArray() writes it, in
//   base64 under (610, i): the format carries texts, numbers and flags only,
//   and base64 keeps a member's bytes exact in a text;
// - the cells the user edits in the schedule view are texts under (611 + 2k, i)
//   for the code and (612 + 2k, i) for the note, k being the row kind: the
//   device's own row (0) and the row of a valve's drive (1). The codes up to
//   629 are kept for more row kinds. An empty cell is not written.
// A member that does not read, is of no document type the program knows, is
// itself a project or is not a base64 text is left out with its cells and
// named; the other positions open.

#include "documents/doc.h"
#include "project/equipmentschedule.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

class Project
{
public:
    // The field codes of the project file.
    struct Fields
    {
        enum ProjectField : qint16 {
            pfObjectName = 600,
            pfProjectCode = 601,
            pfOrganisation = 602,
            pfDeveloper = 603,     // Разработал
            pfChecker = 604,       // Проверил
            pfNormControl = 605,   // Н. контр.
            pfChiefEngineer = 606, // ГИП
            pfDate = 607,          // "yyyy-MM-dd"
            pfMember = 610,        // the member document's file in base64; index: its place
            pfDeviceCode = 611, // the device row's "Код продукции"; index: the position's place
            pfDeviceNote = 612, // the device row's "Примечание"
            pfDriveCode = 613,  // the same two cells of the drive's row
            pfDriveNote = 614,
            pfLastCode = 629, // the end of the range kept for the project file
        };
    };

    // The rows a position gives in the schedule: its device, and the electric
    // drive chosen with a valve.
    enum RowKind { rkDevice = 0, rkDrive = 1 };
    static constexpr int rowKindCount = 2;

    // The two cells of a schedule row that the user types in: the schedule
    // makes every other cell from the document.
    struct Cells
    {
        QString code; // Код продукции
        QString note; // Примечание
        bool operator==(const Cells& other) const { return code == other.code && note == other.note; }
    };

    // The typed cells of every row a position gives, by RowKind.
    using CellSet = std::array<Cells, rowKindCount>;

    struct Position
    {
        Doc doc;
        CellSet cells;
    };

    // The outcome of opening a project file.
    enum ReadStatus {
        rsOk = 0,
        rsUnreadable,   // the file could not be opened
        rsWrongVersion, // a document file of another format version
        rsDamaged,      // the file is not a readable document
        rsNotProject    // a readable document, but not a project
    };

    // The longest position mark, in characters; a longer one is read cut to it.
    static constexpr int maxMarkLength = 16;
    static constexpr int minQuantity = 1;
    static constexpr int maxQuantity = 999;
    // The file numbers places with 16-bit indexes.
    static constexpr int maxPositions = 32767;

    ProjectDetails details;
    QList<Position> positions;

    // The project as the document its file holds. Requires at most
    // maxPositions positions.
    Doc toDoc() const;
    // The project a project document holds. A damaged member is left out and
    // named in damagedMembers (which is replaced), one entry per member,
    // "позиция 3: файл обрывается внутри поля 102", numbered from 1 by its
    // place in the file. A detail or cell longer than Doc::maxTextLength is
    // cut to it. The members stay as they were read: the window of a position
    // repairs its fields (a mark too long among them) and tells the user.
    static Project fromDoc(const Doc& doc, QStringList* damagedMembers = nullptr);

    // Writes the project as a whole or not at all: a failed save keeps the
    // previous file. On failure *error is the message for the user.
    bool save(const QString& path, QString* error = nullptr) const;
    // Opens a project file. A file that is not a project is refused with the
    // reason in words ("это не проект: документ «Клапан»") and the project
    // left empty; damaged members are named as by fromDoc().
    static ReadStatus load(const QString& path, Project& project, QString* reason = nullptr,
                           QStringList* damagedMembers = nullptr);

    // The document's position mark, cut to maxMarkLength; empty when it has
    // none or holds something other than a text.
    static QString positionMark(const Doc& doc);
    // The document's quantity: a whole number brought into 1-999; 1 when it
    // has none, or holds a fraction or anything but a number.
    static int quantity(const Doc& doc);
    // The mark for a copy of the position marked `like`: its trailing number
    // counted up, keeping its zeros ("РК01" → "РК02"), or "1", "2", … added to
    // a mark without one, until no mark of `marks` is equal to it (in the
    // sense of comparePositionMarks). A mark that would grow past
    // maxMarkLength loses characters before its number. Empty for an empty
    // `like`, and where no such mark fits.
    static QString nextFreeMark(const QStringList& marks, const QString& like);
};
