#pragma once

// One document of every type, filled as its window fills a document before
// saving: the document type, the device type, then every control the window
// registers, with the value kind of its field (numbers as doubles, combo data
// and radio ids as integers, a combo with no current item as a null value,
// texts as strings, check boxes as booleans). They are the seed documents of
// the reader's fuzzing corpus and the documents the fault-injection tests
// save and damage.

#include "documents/doc.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace orxsamples {

struct SampleDocument
{
    QString stem; // file name without ".orx"
    Doc doc;
};

inline Doc makeDocument(int docType, int deviceType,
                        std::initializer_list<std::pair<DocKey, QVariant>> fields)
{
    Doc doc;
    doc.init(docType);
    doc.setValue(DocKey(Doc::fcDeviceType), deviceType);
    for (const auto& field : fields)
        doc.setValue(field.first, field.second);
    return doc;
}

// A ЛМК-2 valve on the supply pipe of a heating loop; flow given directly.
inline Doc valveDocument()
{
    return makeDocument(20, 5,
                        {{DocKey(122), QStringLiteral("ИТП жилого дома, ул. Садовая, 12")},
                         {DocKey(120), 1},
                         {DocKey(121), 1},
                         {DocKey(141), 0.0},
                         {DocKey(Doc::fcDeviceType), 5},
                         {DocKey(131), 1},
                         {DocKey(1011), 2},
                         {DocKey(102), 6.0},
                         {DocKey(101), 1},
                         {DocKey(103), 5.0},
                         {DocKey(1031), 1.0},
                         {DocKey(1032), 0.5},
                         {DocKey(105), 130.0},
                         {DocKey(107), 70.0},
                         {DocKey(104), 1},
                         {DocKey(106), 0.0},
                         {DocKey(1061), 1},
                         {DocKey(108), 12.5},
                         {DocKey(1081), 1}});
}

// A ЛМР-Д on the return pipe of a 40 % propylene-glycol loop; flow from the
// heat load.
inline Doc regulatorDocument()
{
    return makeDocument(30, 200,
                        {{DocKey(122), QStringLiteral("ЦТП № 3\nконтур отопления")},
                         {DocKey(120), 4},
                         {DocKey(121), 2},
                         {DocKey(141), 40.0},
                         {DocKey(130), 1},
                         {DocKey(131), 2},
                         {DocKey(1011), 2},
                         {DocKey(102), 0.0},
                         {DocKey(103), 0.0},
                         {DocKey(1031), 0.0},
                         {DocKey(1020), 5.0},
                         {DocKey(101), 1},
                         {DocKey(1021), 1.0},
                         {DocKey(1036), 1.0},
                         {DocKey(1035), 2.0},
                         {DocKey(10371), 0.5},
                         {DocKey(1037), 0.5},
                         {DocKey(105), 100.0},
                         {DocKey(107), 46.0},
                         {DocKey(104), 2},
                         {DocKey(106), 2.0},
                         {DocKey(1061), 1},
                         {DocKey(108), 37.65},
                         {DocKey(1081), 1}});
}

// The Kv of a steam valve: superheated steam, absolute pressures, kg/h. The
// hidden valve type combo holds no item.
inline Doc kvDocument()
{
    return makeDocument(500, 0,
                        {{DocKey(122), QString()},
                         {DocKey(120), 1},
                         {DocKey(121), 11},
                         {DocKey(141), 0.0},
                         {DocKey(Doc::fcDeviceType), QVariant()},
                         {DocKey(131), 1},
                         {DocKey(1011), 1},
                         {DocKey(102), 4.8},
                         {DocKey(101), 1},
                         {DocKey(103), 3.5},
                         {DocKey(1031), 1.3},
                         {DocKey(1032), 0.0},
                         {DocKey(105), 220.0},
                         {DocKey(107), 0.0},
                         {DocKey(104), 1},
                         {DocKey(106), 0.0},
                         {DocKey(1061), 1},
                         {DocKey(108), 1345.6},
                         {DocKey(1081), 20}});
}

// An ultrasonic one-beam ЛМФ, flanged, DN 100, series 1300; the options of the
// electromagnetic meter are hidden and partly unchosen.
inline Doc flowMeterDocument()
{
    return makeDocument(
        200, 301,
        {{DocKey(400), 1},          {DocKey(401), 1},          {DocKey(402), 1},     {DocKey(403), 100},
         {DocKey(404), 1},          {DocKey(405), 2},          {DocKey(406), false}, {DocKey(407), 16},
         {DocKey(408), 67},         {DocKey(409), QVariant()}, {DocKey(410), true},  {DocKey(411), false},
         {DocKey(412), 485},        {DocKey(413), 1300},       {DocKey(414), 10},    {DocKey(415), 1.0},
         {DocKey(416), QVariant()}, {DocKey(417), 2},          {DocKey(418), true},  {DocKey(419), false},
         {DocKey(420), QVariant()}, {DocKey(421), QVariant()}});
}

// A two-loop cabinet (heating, hot water); the rows of loops 3 to 9 stay
// registered and unchosen.
inline Doc stdCabinetDocument()
{
    Doc doc = makeDocument(
        100, 11, {{DocKey(Doc::fcDeviceType), 11}, {DocKey(201), 2}, {DocKey(202), 1}, {DocKey(203), 2}});
    const int loopTypes[2] = {1, 2};
    const int mainPumps[2] = {4, 2};
    const int reservePumps[2] = {4, 0};
    for (qint16 loop = 0; loop < 9; ++loop) {
        const bool chosen = loop < 2;
        doc.setValue(DocKey(304, loop), chosen ? QVariant(loopTypes[loop]) : QVariant());
        doc.setValue(DocKey(305, loop), chosen ? QVariant(mainPumps[loop]) : QVariant());
        doc.setValue(DocKey(306, loop), chosen ? QVariant(reservePumps[loop]) : QVariant());
    }
    return doc;
}

// A supply ventilation cabinet: fan option 5, pump option 1, RS-232.
inline Doc fanCabinetDocument()
{
    return makeDocument(105, 12,
                        {{DocKey(Doc::fcDeviceType), 12},
                         {DocKey(201), 1},
                         {DocKey(203), 1},
                         {DocKey(307), 5},
                         {DocKey(305), 1}});
}

inline QList<SampleDocument> sampleDocuments()
{
    return {{QStringLiteral("valve"), valveDocument()},
            {QStringLiteral("regulator"), regulatorDocument()},
            {QStringLiteral("kv"), kvDocument()},
            {QStringLiteral("flowmeter"), flowMeterDocument()},
            {QStringLiteral("stdcabinet"), stdCabinetDocument()},
            {QStringLiteral("fancabinet"), fanCabinetDocument()}};
}

} // namespace orxsamples
