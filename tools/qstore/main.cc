// qstore: the command-line tool over the two storage libraries.
#include <fmt/format.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <functional>

#include "tools/qstore/commands.h"
#include "tools/qstore/status.h"

namespace qstore::tool {

namespace {

void AddFileOptions(CLI::App* command, FileOptions* file) {
  command->add_option("FILE", file->path, "form or document file")->required();
  auto* form = command->add_flag("--form", file->as_form, "read FILE as a form");
  command->add_flag("--doc", file->as_doc, "read FILE as a document")->excludes(form);
}

}  // namespace

int Main(int argc, char** argv) {
  CLI::App app{
      "qstore: inspect, dump, render, convert, concatenate and check forms (.QFD) and documents"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "qstore 1.0");
  std::function<int()> run;

  DemoOptions demo;
  CLI::App* demo_cmd = app.add_subcommand(
      "demo", "build a sample form, documents, a check log and pictures in DIR; print them");
  demo_cmd->add_option("DIR", demo.dir, "where to put what the demo makes")->capture_default_str();
  demo_cmd->callback([&] { run = [&] { return RunDemo(demo); }; });

  InfoOptions info;
  CLI::App* info_cmd = app.add_subcommand(
      "info", "header, page count and what each page holds (the kind from the extension)");
  AddFileOptions(info_cmd, &info.file);
  info_cmd->callback([&] { run = [&] { return RunInfo(info); }; });

  DumpOptions dump;
  CLI::App* dump_cmd =
      app.add_subcommand("dump", "everything the libraries read back, page by page");
  AddFileOptions(dump_cmd, &dump.file);
  dump_cmd->add_flag("--json", dump.json, "one JSON document (UTF-8, keys in a fixed order)");
  dump_cmd->add_option("--page", dump.page, "only page N (1-based)")->check(CLI::PositiveNumber);
  dump_cmd->callback([&] { run = [&] { return RunDump(dump); }; });

  RenderOptions render;
  CLI::App* render_cmd = app.add_subcommand("render", "an SVG picture of one page");
  AddFileOptions(render_cmd, &render.file);
  render_cmd->add_option("--page", render.page, "the page (1-based)")
      ->capture_default_str()
      ->check(CLI::PositiveNumber);
  render_cmd->add_option("-o,--output", render.output, "the SVG file (default FILE-pN.svg)");
  render_cmd->add_option("--width", render.width, "pixels across the page")->capture_default_str();
  render_cmd->callback([&] { run = [&] { return RunRender(render); }; });

  ConvertOptions convert;
  CLI::App* convert_cmd = app.add_subcommand("convert", "convert a form into a document file");
  convert_cmd->add_option("FORM", convert.form, "the form file")->required();
  convert_cmd->add_option("DOC", convert.doc, "the document file to write")->required();
  convert_cmd->callback([&] { run = [&] { return RunConvert(convert); }; });

  ConcatOptions concat;
  CLI::App* concat_cmd =
      app.add_subcommand("concat", "write OUT: the pages of DOC1, then those of DOC2, ...");
  concat_cmd->add_option("OUT", concat.output, "the document file to write")->required();
  concat_cmd->add_option("DOCS", concat.inputs, "the documents, in order")
      ->required()
      ->expected(2, -1);
  concat_cmd->callback([&] { run = [&] { return RunConcat(concat); }; });

  CheckOptions check;
  CLI::App* check_cmd = app.add_subcommand(
      "check",
      "check the texts of a document for prohibited characters (2 full-width alphanumerics, "
      "4 half-width katakana, 8 user-defined and special); exit 3 when some were found");
  check_cmd->add_option("DOC", check.doc, "the document")->required();
  check_cmd->add_option("--replace", check.replace, "categories to replace (sum of 2, 4, 8)")
      ->capture_default_str()
      ->check(CLI::Range(0, 14));
  check_cmd->add_option("--mask", check.mask, "categories to examine (sum of 2, 4, 8)")
      ->capture_default_str()
      ->check(CLI::Range(0, 14));
  check_cmd->add_option("--log", check.log, "append findings to this log (Shift-JIS)");
  check_cmd->add_option("--table", check.table, "replacement table (CSV: CODE,REPLACEMENT)");
  check_cmd->add_option("-o,--output", check.output,
                        "save the replaced document here (default: DOC itself)");
  check_cmd->callback([&] { run = [&] { return RunCheck(check); }; });

  FieldsOptions fields;
  CLI::App* fields_cmd = app.add_subcommand(
      "fields",
      "the field definitions a template yields (or a form's, with placements), as a tree");
  fields_cmd->add_option("TEMPLATE", fields.path, "a .QFT template or a .QFD form")->required();
  fields_cmd->callback([&] { run = [&] { return RunFields(fields); }; });

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kExitOk : kExitUsage;
  }
  try {
    return run ? run() : kExitUsage;
  } catch (const std::exception& e) {  // CallError and ToolError say it all in what()
    fmt::print(stderr, "qstore: {}\n", e.what());
  }
  return kExitFailed;
}

}  // namespace qstore::tool

int main(int argc, char** argv) {
  return qstore::tool::Main(argc, argv);
}
