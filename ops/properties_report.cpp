#include "ops/properties_report.h"

#include "engine/engine_interfaces.h"
#include "ops/fault_texts.h"
#include "ops/property_texts.h"

namespace {

const wchar_t* FormatName(ArchiveKind kind) {
    switch (kind) {
    case SevenZip: return L"7z";
    case Rar: return L"RAR";
    case Zip: return L"ZIP";
    default: return L"";
    }
}

void AddLine(PropertiesReport& report, const std::wstring& name, const std::wstring& value) {
    if (!value.empty()) report.lines.push_back({name, value});
}

std::wstring Methods(const std::vector<std::wstring>& methods) {
    std::wstring text;
    for (const std::wstring& method : methods) text += (text.empty() ? L"" : L", ") + method;
    return text;
}

template <typename Facts>
PropertiesReport Begun(const Facts& facts) {
    PropertiesReport report;
    report.opened = facts.opened;
    report.cancelled = facts.cancelled;
    report.problem = ReadFailureText(facts.failure);
    return report;
}

}  // namespace

std::wstring CompressionRatio(uint64_t packed, uint64_t size) {
    if (size == 0) return {};
    const uint64_t percent = packed > UINT64_MAX / 100 ? packed / (size / 100 + 1) : (packed * 100 + size / 2) / size;
    return std::to_wstring(percent) + L"%";
}

PropertiesReport ArchivePropertiesReport(const ArchiveFacts& facts, ArchiveKind kind) {
    PropertiesReport report = Begun(facts);
    if (!facts.opened || facts.failure.any()) return report;
    const ItemFigures& figures = facts.figures;
    const uint64_t packed = figures.packedKnown ? figures.packed : facts.fileSize;
    std::wstring format = PropertyValueText(facts.type);
    if (format.empty()) format = facts.formatName.empty() ? FormatName(kind) : facts.formatName;
    AddLine(report, L"Format", format);
    const std::wstring method = PropertyValueText(facts.method);
    AddLine(report, L"Method", method.empty() ? Methods(figures.methods) : method);
    const std::wstring solid = PropertyValueText(facts.solid);
    AddLine(report, L"Solid", solid.empty() ? std::wstring(L"No") : solid);
    AddLine(report, L"Blocks", PropertyValueText(facts.blocks));
    AddLine(report, L"Size", GroupedNumber(figures.size));
    AddLine(report, L"Packed Size", GroupedNumber(packed));
    AddLine(report, L"Archive Size", GroupedNumber(facts.fileSize));
    AddLine(report, L"Ratio", CompressionRatio(packed, figures.size));
    AddLine(report, L"Files", GroupedNumber(figures.files));
    AddLine(report, L"Folders", GroupedNumber(figures.folders));
    AddLine(report, L"Encrypted", facts.namesEncrypted ? L"Yes, names included" : figures.encrypted ? L"Yes" : L"No");
    AddLine(report, L"Comment", PropertyValueText(facts.comment));
    const std::wstring damage = ArchiveDamageText(facts.damage);
    AddLine(report, L"Damage", damage.empty() ? std::wstring(L"None found") : damage);
    for (const PropertyValue& value : facts.others) AddLine(report, PropertyName(value.id), PropertyValueText(value));
    return report;
}

PropertiesReport EntryPropertiesReport(const EntryFacts& facts, const std::wstring& entryPath) {
    PropertiesReport report = Begun(facts);
    if (facts.missing) report.problem = L"the archive holds no entry \"" + entryPath + L"\"";
    if (!facts.opened || facts.failure.any()) return report;
    if (facts.found) {
        AddLine(report, PropertyName(kpidPath), facts.path);
        for (const PropertyValue& value : facts.properties)
            AddLine(report, PropertyName(value.id), PropertyValueText(value));
    } else {
        AddLine(report, PropertyName(kpidPath), entryPath);
        AddLine(report, PropertyName(kpidIsDir), L"Yes");
    }
    if (facts.folder) {
        const ItemFigures& below = facts.below;
        AddLine(report, L"Files Inside", GroupedNumber(below.files));
        AddLine(report, L"Folders Inside", GroupedNumber(below.folders));
        AddLine(report, L"Size of Files Inside", GroupedNumber(below.size));
        if (below.packedKnown) AddLine(report, L"Packed Size of Files Inside", GroupedNumber(below.packed));
    }
    return report;
}
