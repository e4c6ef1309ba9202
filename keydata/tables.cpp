// Handing out the table sets and choosing one from the language identifiers.
#include "keydata/tables.h"

#include "keydata/tables_rows.h"
#include "platform/log.h"

namespace ptu {

const TableSet& tableSet(TableSetId id)
{
    switch (id) {
    case TableSetId::us: return usTables;
    case TableSetId::uk: return ukTables;
    case TableSetId::es: return esTables;
    case TableSetId::pt: return ptTables;
    case TableSetId::no: return noTables;
    case TableSetId::it: return itTables;
    case TableSetId::de: return deTables;
    case TableSetId::fr: return frTables;
    }
    return usTables;
}

std::optional<TableSetId> tableSetByTag(std::string_view tag)
{
    for (const TableSet* s : {&usTables, &ukTables, &esTables, &ptTables, &noTables,
                              &itTables, &deTables, &frTables}) {
        if (tag == s->tag) return s->id;
    }
    return std::nullopt;
}

uint16_t chosenLanguageId(uint32_t lcid, uint16_t lgid, uint16_t ulgid)
{
    // A Chinese system with a Chinese user gets the US names.
    for (uint16_t chinese : {0x0404, 0x0804, 0x1004}) {
        if (lcid == chinese && lgid == chinese && ulgid == chinese) return 0x0409;
    }
    return ulgid;
}

TableSetId tableSetForLanguage(uint16_t langid)
{
    if (langid == 0x0809) return TableSetId::uk;
    switch (langid & 0xFF) {
    case 0x0A:  // Spanish
    case 0x04:  // Chinese
        return TableSetId::es;
    case 0x16: return TableSetId::pt;
    case 0x14: return TableSetId::no;
    case 0x10: return TableSetId::it;
    case 0x07: return TableSetId::de;
    case 0x0C: return TableSetId::fr;
    default: return TableSetId::us;
    }
}

TableSetId chooseTableSet(uint32_t lcid, uint16_t lgid, uint16_t ulgid)
{
    return tableSetForLanguage(chosenLanguageId(lcid, lgid, ulgid));
}

TableSetId chooseTableSet(Log& log, uint32_t lcid, uint16_t lgid, uint16_t ulgid)
{
    log.printf(" lcid=%lxh, lgid=%xh, ulgid=%xh \n", static_cast<unsigned long>(lcid),
               static_cast<unsigned>(lgid), static_cast<unsigned>(ulgid));
    ulgid = chosenLanguageId(lcid, lgid, ulgid);
    log.printf(" lcid=%lxh, lgid=%xh, ulgid=%xh \n", static_cast<unsigned long>(lcid),
               static_cast<unsigned>(lgid), static_cast<unsigned>(ulgid));
    return tableSetForLanguage(ulgid);
}

}  // namespace ptu
