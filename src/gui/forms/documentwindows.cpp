#include "forms/documentwindows.h"

#include "forms/fancabinetchild.h"
#include "forms/flowmeterchild.h"
#include "forms/kvchild.h"
#include "forms/regulatorchild.h"
#include "forms/valvechild.h"

#include <algorithm>
#include <iterator>

using namespace common;

namespace {

using FormFactory = MdiChild* (*)(const Doc* doc);

template <class Form>
MdiChild* createForm(const Doc* doc)
{
    return new Form(doc);
}

struct FormKind
{
    DocType type;
    FormFactory create;
};

// One form per line: the table reads as the list of document types.
// clang-format off
const FormKind kForms[] = {
    {docValve, &createForm<ValveChild>},
    {docRegulator, &createForm<RegulatorChild>},
    {docStdCabinet, &createForm<StdCabinetChild>},
    {docFanCabinet, &createForm<FanCabinetChild>},
    {docFlowMeter, &createForm<FlowMeterChild>},
    {docKv, &createForm<KvChild>},
};
// clang-format on

} // namespace

MdiChild* createDocumentWindow(DocType type, const Doc* doc)
{
    const auto kind = std::find_if(std::begin(kForms), std::end(kForms),
                                   [type](const FormKind& k) { return k.type == type; });
    return kind != std::end(kForms) ? kind->create(doc) : nullptr;
}
