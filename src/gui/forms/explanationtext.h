#pragma once

// The words of the selection windows for why a candidate is proposed, printed
// in bold or rejected, and for what a search that found no model was missing.
// Every such text and the way its figures are written live here: the row
// tooltips and the line under the choice say the same thing the same way.
//
// Figures are written as the window writes every figure, with the decimal
// separator of the system locale: two decimals; the bounds of a criterion as
// short as they are (3,0; 1,1–1,3 under a Russian locale). A figure the
// calculation could not produce is a dash; a missing speed point is left out.
// A speed names the flow it is of. The names of the tuning ranges are the
// catalogue's ("0,04 - 0,70 МПа") and stay as the designations write them.

#include "engine/explanation.h"

#include <QString>

class ResultItem;

namespace explaintext {

// A figure with two decimals; "—" when it is not a number.
QString figure(double value);
// A bound or a catalogue value in its shortest form, at least one decimal for
// a bound ("3,0"), none needed for a Kvs ("100", "3,2"); "—" when not a number.
QString bound(double value);
QString kvs(double value);

// The criteria of a candidate as the line under the choice says them, joined
// by " · ": "Скорость 2,53 м/с при полностью открытом клапане ≤ 3,0 · запас
// 1,35 — вне 1,1–1,3 · ...".
QString criteriaLine(const explain::CandidateExplanation& why);
// The same line broken between its criteria into lines of about `width`
// characters, so that it stands under the choice without widening it; a
// longer criterion goes on over lines of its own.
QString brokenLine(const QString& line, int width);
// The rule that rejected a candidate of this DN; empty for a proposed one.
QString rejection(const explain::Rejection& why, int dn);
// The whole explanation of a candidate row: its designation, proposed or
// rejected and why, then each criterion on its own line.
QString toolTip(const ResultItem& item, const explain::CandidateExplanation& why);
// What a search that found no model was missing; empty when it was not that.
QString noSuitableModel(const explain::NoSuitableModel& missing);

} // namespace explaintext
