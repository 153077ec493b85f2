#include "editor/field_labels.h"

#include <cctype>
#include <utility>

namespace kelvane {

std::string FieldLabel(const std::string& column) {
  static const std::pair<const char*, const char*> labels[] = {
      {"SessionName", "Name"},        {"Comment", "Comment"},          {"InstrumentNumber", "Instrument"},
      {"InstrumentSel", "Instrument name"}, {"Image1", "Image"},      {"FileType", "File type"},
      {"ColorR", "Frame red"},        {"ColorG", "Frame green"},       {"ColorB", "Frame blue"},
      {"PulseFreq", "Pulse"},         {"PulsePhase", "Phase"},         {"GeoVertical", "Vertical"},
      {"GeoHorizontal", "Horizontal"}, {"Density", "Density"},         {"Form", "Form"},
      {"Cycles", "Cycles"},           {"AreaX1", "Left (X1)"},         {"AreaY1", "Top (Y1)"},
      {"AreaX2", "Right (X2)"},       {"AreaY2", "Bottom (Y2)"},       {"Area", "Stimulus area"},
      {"NumSelItems", "Note rows"}};
  for (const auto& [name, label] : labels)
    if (column == name) return label;
  if (column.rfind("Item", 0) == 0 && column.size() > 4 && std::isdigit(static_cast<unsigned char>(column[4])))
    return "Row " + column.substr(4);
  return column;
}

}  // namespace kelvane
