// The manual pages render cleanly and tell every message and output name
// that the program's sources can print or write.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tool_run.h"

#ifndef LUMERIST_SOURCE_DIR
#error "LUMERIST_SOURCE_DIR must name the source tree"
#endif

namespace {

std::string source_file(const std::string& relative) {
  std::ifstream file(std::string(LUMERIST_SOURCE_DIR) + "/" + relative);
  EXPECT_TRUE(file) << relative;
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// Blanks and tabs collapse, as they do when a page is rendered.
std::string normalized(const std::string& text) {
  return std::regex_replace(text, std::regex("[ \t\n]+"), " ");
}

struct Rendered {
  std::string text;
  std::string warnings;
};

Rendered render(const std::string& page) {
  const ToolRun run =
      run_program("/bin/sh", {"-c", "groff -man -Tascii -P-bou -rLL=300n -rHY=0 -ww \"$0\"",
                              std::string(LUMERIST_SOURCE_DIR) + "/man/" + page});
  EXPECT_EQ(run.status, 0);
  return {normalized(run.output), run.errors};
}

std::string unescape(const std::string& literal) {
  std::string text;
  for (std::size_t i = 0; i < literal.size(); ++i) {
    if (literal[i] != '\\' || i + 1 == literal.size()) {
      text += literal[i];
      continue;
    }
    const char c = literal[++i];
    text += c == 'n' ? '\n' : c == 't' ? '\t' : c;
  }
  return text;
}

// The format strings handed to printf, fputs, fprintf and report_printf in
// a source file, adjacent literals joined.
std::vector<std::string> printed_formats(const std::string& source) {
  std::vector<std::string> formats;
  const std::regex call(
      R"re((std::printf|std::fputs|std::fprintf|report_printf)\((?:\s*\w+,)?\s*((?:"(?:[^"\\]|\\.)*"\s*)+))re");
  const std::regex literal(R"re("((?:[^"\\]|\\.)*)")re");
  for (std::sregex_iterator it(source.begin(), source.end(), call), end; it != end; ++it) {
    const std::string literals = (*it)[2];
    std::string format;
    for (std::sregex_iterator l(literals.begin(), literals.end(), literal); l != end; ++l) {
      format += unescape((*l)[1]);
    }
    formats.push_back(format);
  }
  return formats;
}

// The fixed pieces of a format, between its conversions and lines.
std::vector<std::string> fixed_pieces(const std::string& format) {
  std::vector<std::string> pieces;
  const std::regex split("%[-0-9]*[a-z]|\n");
  for (std::sregex_token_iterator it(format.begin(), format.end(), split, -1), end; it != end;
       ++it) {
    std::string piece = normalized(*it);
    piece = std::regex_replace(piece, std::regex("^ | $"), "");
    if (piece.size() >= 4 && piece.find_first_not_of('-') != std::string::npos) {
      pieces.push_back(piece);
    }
  }
  return pieces;
}

void expect_page_tells_every_message(const Rendered& page, const std::vector<std::string>& sources,
                                     std::size_t atLeast = 30) {
  std::size_t checked = 0;
  for (const std::string& file : sources) {
    for (const std::string& format : printed_formats(source_file(file))) {
      for (const std::string& piece : fixed_pieces(format)) {
        EXPECT_NE(page.text.find(piece), std::string::npos) << "\"" << piece << "\" from " << file;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, atLeast) << "the message scan found too little to be trusted";
}

TEST(ManualPages, LumeristRendersWithoutWarnings) {
  EXPECT_EQ(render("lumerist.1").warnings, "");
}

TEST(ManualPages, LumeristTellsEveryMessageTheToolPrints) {
  expect_page_tells_every_message(
      render("lumerist.1"),
      {"src/app/messages.cpp", "src/command/open_snapshot.cpp", "src/export/bitmap_export.cpp",
       "src/export/text_export.cpp", "src/command/command_line.cpp", "src/command/chargen_file.cpp",
       "src/command/run_outputs.cpp"});
}

TEST(ManualPages, PreviewRendersWithoutWarningsAndTellsItsMessages) {
  const Rendered page = render("lumerist-preview.1");
  EXPECT_EQ(page.warnings, "");
  for (const char* file :
       {"src/preview/preview_messages.cpp", "src/command/chargen_file.cpp",
        "src/command/palette_choice.cpp", "src/command/command_line.cpp", "src/command/console.cpp",
        "src/command/open_snapshot.cpp", "src/command/run_outputs.cpp"}) {
    for (const std::string& format : printed_formats(source_file(file))) {
      for (const std::string& piece : fixed_pieces(format)) {
        EXPECT_NE(page.text.find(piece), std::string::npos) << "\"" << piece << "\" from " << file;
      }
    }
  }
  for (const char* refusal : {"Cant't open snapshot file '", "Not a VICE VSF file '",
                              "No VIC-II state in VICE VSF file '", "Unsupported machine '"}) {
    EXPECT_NE(page.text.find(refusal), std::string::npos) << refusal;
  }
}

TEST(ManualPages, SpritesRendersWithoutWarningsAndTellsItsMessages) {
  const Rendered page = render("lumerist-sprites.1");
  EXPECT_EQ(page.warnings, "");
  expect_page_tells_every_message(
      page,
      {"src/sprites/sprites_messages.cpp", "src/command/chargen_file.cpp",
       "src/command/palette_choice.cpp", "src/command/console.cpp", "src/command/open_snapshot.cpp",
       "src/command/command_line.cpp", "src/command/run_outputs.cpp"});
}

TEST(ManualPages, ExportRendersWithoutWarningsAndTellsItsMessages) {
  const Rendered page = render("lumerist-export.1");
  EXPECT_EQ(page.warnings, "");
  expect_page_tells_every_message(page,
                                  {"src/formats/export_messages.cpp",
                                   "src/command/chargen_file.cpp", "src/command/open_snapshot.cpp",
                                   "src/command/command_line.cpp", "src/command/run_outputs.cpp"},
                                  20);
  for (const char* refusal : {"no format has the extension", "holds multicolour bitmaps; '"}) {
    EXPECT_NE(page.text.find(refusal), std::string::npos) << refusal;
  }
}

TEST(ManualPages, BandsRendersWithoutWarningsAndTellsItsMessages) {
  const Rendered page = render("lumerist-bands.1");
  EXPECT_EQ(page.warnings, "");
  expect_page_tells_every_message(page,
                                  {"src/bands/bands_messages.cpp", "src/command/chargen_file.cpp",
                                   "src/command/open_snapshot.cpp", "src/command/command_line.cpp",
                                   "src/command/run_outputs.cpp"},
                                  20);
}

TEST(ManualPages, LumeristNamesEveryOutputSuffix) {
  const Rendered page = render("lumerist.1");
  const std::string names = source_file("src/command/screen_rip.cpp");
  const std::regex suffix(R"lit("(\.[a-z0-9]+)")lit");
  std::size_t found = 0;
  for (std::sregex_iterator it(names.begin(), names.end(), suffix), end; it != end; ++it) {
    EXPECT_NE(page.text.find(std::string("snapshot") + (*it)[1].str()), std::string::npos)
        << (*it)[1];
    ++found;
  }
  EXPECT_EQ(found, 8u);
}

}  // namespace
