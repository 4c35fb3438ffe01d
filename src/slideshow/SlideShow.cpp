#include "slideshow/SlideShow.h"

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <string_view>

#include "base/Error.h"
#include "base/PosixFile.h"
#include "slideshow/SlideSeconds.h"

namespace snapwick {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// A text file created anew (or emptied) whose bytes go to disk as they are written, so that a
// failure part-way leaves what was written before it. The file is closed when the object goes,
// also when a failure leaves the scope early.
class OutputFile {
 public:
  explicit OutputFile(const std::string& path) : file_(FileDescriptor::Create(path, path)) {}

  void Write(std::string_view bytes) {
    file_.WriteAll({reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()});
  }

  // Closes the file; a failure to close (data that could not be stored) is reported.
  void Close() { file_.Close(); }

 private:
  FileDescriptor file_;
};

// Lines joined, each ended by CR LF.
std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (const auto line : lines) {
    text += line;
    text += kLineEnd;
  }
  return text;
}

constexpr char kHex[] = "0123456789ABCDEF";

// "%XX": the picture's address then names the file's own bytes whatever character set the
// browser assumes for the page, and "%", "#" and "?" stay part of the file name.
void PercentEscape(std::string& out, char c) {
  out += '%';
  out += kHex[static_cast<unsigned char>(c) >> 4];
  out += kHex[c & 0x0F];
}

// A picture name made safe for a JavaScript string in apostrophes that sits inside an HTML
// attribute in double quotes: backslash escapes for the script string, then entities for the
// attribute. What a browser would read otherwise as it makes the picture's address is written as
// %XX: bytes beyond ASCII, the address characters "%", "#" and "?", a backslash (read as "/"),
// control characters (line breaks and tabs are dropped) and blanks at either end (trimmed).
// Names without any of these characters stay as they are.
std::string EscapeName(const std::string& name) {
  std::string escaped;
  escaped.reserve(name.size());
  const size_t first = name.find_first_not_of(' '), last = name.find_last_not_of(' ');
  for (size_t at = 0; at < name.size(); ++at) {
    const char c = name[at];
    if (c == ' ' && (at < first || at > last)) {
      PercentEscape(escaped, c);
      continue;
    }
    switch (c) {
      case '\'':
        escaped += "\\'";
        break;
      case '&':
        escaped += "&amp;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '%':
      case '#':
      case '?':
      case '\\':
        PercentEscape(escaped, c);
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80) {
          PercentEscape(escaped, c);
        } else {
          escaped += c;
        }
    }
  }
  return escaped;
}

// The slide interval in milliseconds as script text: the "Seconds per slide" text read as a
// number in the default locale, times 1000, in the shortest decimal form with a "." (the script
// needs one whatever the locale). A text that is no finite number, or a product too large for a
// double, is a type mismatch.
std::string IntervalText(const std::function<std::string()>& slideTime) {
  const std::string text = slideTime();
  const std::optional<double> seconds = ReadSlideSeconds(text);
  if (!seconds) RaiseError(kErrTypeMismatch, "\"" + text + "\"");
  const double milliseconds = *seconds * 1000;
  if (!std::isfinite(milliseconds)) RaiseError(kErrTypeMismatch, "\"" + text + "\"");
  // Plain digits up to 1e15, where every whole number is exact; beyond, the shortest form with
  // an exponent ("1e+20"), which the script reads as well.
  char digits[400];
  const auto result =
      std::fabs(milliseconds) < 1e15
          ? std::to_chars(digits, digits + sizeof digits, milliseconds, std::chars_format::fixed)
          : std::to_chars(digits, digits + sizeof digits, milliseconds);
  return std::string(digits, result.ptr);
}

std::string TimerLine(const std::string& milliseconds) {
  return "  window.setTimeout('Timer();'," + milliseconds + ") ;";
}

}  // namespace

void GenerateSlideShow(const std::string& filename, const std::string& filePath,
                       const std::vector<std::string>& imageNames,
                       const std::function<std::string()>& slideTime) {
  std::string pictureLines = "<body bgcolor=black onLoad=\"MM_preloadImages(";
  bool first = true;
  for (const auto& name : imageNames) {
    pictureLines += kLineEnd;
    pictureLines += "\t\t";
    if (!first) pictureLines += ',';
    pictureLines += '\'' + EscapeName(name) + '\'';
    first = false;
  }
  pictureLines += kLineEnd;
  pictureLines += "\t)\">";
  pictureLines += kLineEnd;

  {
    OutputFile starter(filename);
    starter.Write(
        Lines({"<SCRIPT LANGUAGE=JavaScript>window.open('slides.htm', '', "
               "'fullscreen=yes, scrollbars=no');</script>"}));
    starter.Close();
  }

  {
    OutputFile show(filePath + "slides.htm");
    show.Write(Lines({"<html>", "<SCRIPT language=\"javascript\" src=slideshow.js>", "</SCRIPT>"}));
    show.Write(pictureLines);
    show.Write(Lines({"", "",
                      "<center><table border=0 cellpading=0 height=100%><tr valign=center><td "
                      "align=center><image name=mainimage src=ski04_002.jpg border=0 "
                      "onclick='javascript:window.close()'></td></tr></table></body><html>",
                      ""}));
    show.Close();
  }

  OutputFile script(filePath + "slideshow.js");
  script.Write(Lines({
      "var max;",
      "var current;",
      "function MM_preloadImages()",
      "{",
      "  var d=document; ",
      "  if(d.images)",
      "  { ",
      "      if(!d.MM_p) ",
      "          d.MM_p=new Array();",
      "      var i,j=d.MM_p.length,a=MM_preloadImages.arguments; ",
      "      max = a.length;",
      "      curr=0;",
      "          for(i=0; i<a.length; i++)",
      "              if (a[i].indexOf(\"#\")!=0)",
      "          { ",
      "              d.MM_p[j]=new Image; ",
      "              d.MM_p[j++].src=a[i];",
      "          }",
      "  }",
  }));
  script.Write(Lines({
      TimerLine(IntervalText(slideTime)),
      "}",
      "function Timer()",
      "{",
      "  if (curr>=max)",
      "  {",
      "      curr=0;",
      "  }",
      "  document.images.mainimage.src=document.MM_p[curr].src;",
      "  curr++;",
  }));
  script.Write(Lines({TimerLine(IntervalText(slideTime)), "}"}));
  script.Close();
}

}  // namespace snapwick
