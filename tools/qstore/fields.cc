// qstore fields: the structures and fields a template yields, as a tree. Built with the field
// exports of the form library.
#include <fmt/format.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>

#include "formstore.h"
#include "tools/qstore/commands.h"
#include "tools/qstore/form_fields.h"
#include "tools/qstore/os.h"
#include "tools/qstore/show.h"
#include "tools/qstore/status.h"
#include "tools/qstore/text.h"

namespace qstore::tool {

namespace {

// Prints the children of structure `parent` (0: the top level) with tree branches. Structure ids
// come from the template and may repeat, so an id can name its own ancestor: each structure is
// printed once (`shown`), which ends every path.
void PrintLevel(const FieldSet& set, uint16_t parent, const std::string& indent, bool placements,
                std::set<const FieldStruct*>* shown) {
  struct Node {
    const FieldStruct* s = nullptr;
    const FieldInfo* f = nullptr;
  };
  std::vector<Node> nodes;
  for (const FieldInfo& f : set.fields)
    if (f.field.ParentId == parent) nodes.push_back({nullptr, &f});
  for (const FieldStruct& s : set.structs)
    if (s.ParentId == parent && s.StructId != parent && shown->insert(&s).second)
      nodes.push_back({&s, nullptr});
  for (size_t i = 0; i < nodes.size(); ++i) {
    const bool last = i + 1 == nodes.size();
    const std::string branch = indent + (last ? "└─ " : "├─ ");
    if (nodes[i].s != nullptr) {
      const FieldStruct& s = *nodes[i].s;
      fmt::print("{}{} {} \"{}\"{}\n", branch, StructWord(+s.StructKind), +s.StructId,
                 Shown(s.StructName, sizeof s.StructName),
                 s.StructKind == 3 ? fmt::format(" (number {})", +s.TopId) : "");
      PrintLevel(set, +s.StructId, indent + (last ? "   " : "│  "), placements, shown);
    } else {
      const FieldInfo& f = *nodes[i].f;
      std::string extra;
      if (f.def_form > 0) extra += fmt::format(", default form {}", f.def_form);
      if (placements && f.layout_count > 0)
        extra +=
            fmt::format(", placed {}x", f.layout_count) +
            (f.offset_row > 0 ? fmt::format(" at offset ({},{})", f.offset_row, f.offset_col) : "");
      fmt::print("{}field {} \"{}\" {}({}){}\n", branch, +f.field.FieldId,
                 Shown(f.field.FieldName, sizeof f.field.FieldName), TypeCode(+f.field.DataType),
                 +f.field.FieldSize, extra);
    }
  }
}

void PrintTree(const std::string& title, const FieldSet& set, bool placements) {
  fmt::print("{}\n", title);
  if (set.has_control) {
    const FieldControl& c = set.control;
    fmt::print("program \"{}\" \"{}\", kind {}, user mode {}, page mode {}\n",
               Shown(c.PrgName, sizeof c.PrgName), Shown(c.PrgTitle, sizeof c.PrgTitle), +c.PrgKind,
               +c.UserMode, +c.PageMode);
  }
  fmt::print("{} structures, {} fields\n", set.structs.size(), set.fields.size());
  std::set<const FieldStruct*> shown;
  PrintLevel(set, 0, "", placements, &shown);
}

// A form reads its template from the directory service's base directory, under QFT/, by a name of
// at most 18 characters. A template anywhere else is copied to a private base directory first.
class TemplatePlace {
 public:
  explicit TemplatePlace(const std::string& path) {
    std::random_device random;
    base_ = std::filesystem::temp_directory_path() / fmt::format("qstore-fields-{:08x}", random());
    std::filesystem::create_directories(base_ / "QFT");
    std::error_code error;
    std::filesystem::copy_file(path, base_ / "QFT" / "T.QFT",
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
      std::filesystem::remove_all(base_, error);
      throw CallError(path, "QfaGetFieldControlDirect", 105);
    }
    SetEnvironment("SITEPATHS_BASE_DIR", base_.string() + "/");
  }
  ~TemplatePlace() {
    std::error_code error;
    std::filesystem::remove_all(base_, error);
  }
  const char* name() const { return "T"; }

 private:
  std::filesystem::path base_;
};

}  // namespace

int RunFields(const FieldsOptions& options) {
  if (KindFromPath(options.path) == FileKind::kForm &&
      std::filesystem::path(options.path).has_extension()) {
    std::unique_ptr<Reader> form = OpenReader(options.path, FileKind::kForm);
    const HeaderInfo header = form->Header();
    PrintTree(fmt::format("{}: template \"{}\"", options.path,
                          Shown(header.inf.TemplateName, sizeof header.inf.TemplateName)),
              form->Fields(), true);
    return kExitOk;
  }
  if (!std::filesystem::is_regular_file(options.path))
    throw CallError(options.path, "QfaGetFieldControlDirect", 105);
  TemplatePlace place(options.path);
  FormInf inf{};
  std::snprintf(inf.TemplateName, sizeof inf.TemplateName, "%s", place.name());
  FormHandle form{};
  const int32_t status = QfaCreateForm(&form, &inf);
  if (status != 0) {
    if (form.State != nullptr) QfaCloseForm(&form);
    throw CallError(options.path, "QfaCreateForm", status);
  }
  FieldSet set = ReadFormFields(&form);
  QfaCloseForm(&form);
  if (!set.has_control) set.control = ReadTemplateControl(place.name());
  set.has_control = true;
  PrintTree(options.path, set, false);
  return kExitOk;
}

}  // namespace qstore::tool
