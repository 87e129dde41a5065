// Writes Form1 as HTML and CSS from the core's description table, when the
// browser edition is built (run under Node.js):
//     form1_page html OUT     the controls' markup, in tab order
//     form1_page dialogs OUT  the prompt's and the alert's markup
//     form1_page title OUT    the window's title
//     form1_page css OUT      the controls' rectangles and faces
// One CSS pixel stands for 15 twips, so the client area is 582 x 453 CSS
// pixels; the browser scales it for HiDPI screens and zoom. DOM order is the
// table's tab order, which makes the browser's Tab key follow it with no
// tabindex attribute.

#include "core/font_families.h"
#include "core/form1_description.h"
#include "core/prompt.h"

#include <cstddef>
#include <exception>
#include <fstream>
#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

using tavrel::core::Container;
using tavrel::core::ControlEntry;
using tavrel::core::ControlKind;
using tavrel::core::twipsToPixels;

std::string utf8(std::u16string_view text)
{
    std::string out;
    for (const char16_t unit : text) { // the table holds no surrogates
        const auto c = static_cast<unsigned>(unit);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string escapedHtml(std::u16string_view text)
{
    std::string out;
    for (const char c : utf8(text)) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

std::string idOf(const ControlEntry &entry)
{
    return std::string(entry.name);
}

// The controls of `container` in the core's tab order.
std::vector<const ControlEntry *> inTabOrder(Container container)
{
    std::vector<const ControlEntry *> controls;
    for (const std::size_t index : tavrel::core::tabOrder) {
        const ControlEntry &entry = tavrel::core::form1Controls.at(index);
        if (entry.container == container)
            controls.push_back(&entry);
    }
    return controls;
}

void writeControl(std::ostream &out, const ControlEntry &entry);

void writeControls(std::ostream &out, Container container)
{
    for (const ControlEntry *entry : inTabOrder(container))
        writeControl(out, *entry);
}

void writeControl(std::ostream &out, const ControlEntry &entry)
{
    const std::string id = idOf(entry);
    switch (entry.kind) {
    case ControlKind::TextBox:
        out << R"(<input id=")" << id
            << R"(" class="box" type="text" autocomplete="off" spellcheck="false" aria-labelledby=")"
            << tavrel::core::labelNaming(entry.name) << "\">\n";
        break;
    case ControlKind::PushButton:
        out << R"(<button id=")" << id << R"(" type="button">)" << escapedHtml(entry.caption)
            << "</button>\n";
        break;
    case ControlKind::Label:
        if (const std::string_view box = tavrel::core::boxNamedBy(entry.name); !box.empty())
            out << "<label id=\"" << id << "\" for=\"" << box << "\">";
        else
            out << R"(<span id=")" << id << R"(" class="label">)";
        out << escapedHtml(entry.caption)
            << (tavrel::core::boxNamedBy(entry.name).empty() ? "</span>\n" : "</label>\n");
        break;
    case ControlKind::GroupFrame:
        out << "<fieldset id=\"" << id << "\">\n";
        writeControls(out, Container::Frame1);
        out << "</fieldset>\n";
        break;
    case ControlKind::Picture: {
        const int side = twipsToPixels(entry.width);
        // The page's assembly fills in the pictures' addresses: files beside
        // the page, or data: URIs in the single file.
        out << R"(<img id=")" << id << R"(" src="{{STAMP}}" srcset="{{STAMP_2X}} 2x" width=")"
            << side << "\" height=\"" << side << "\" alt=\"\">\n";
        break;
    }
    }
}

std::string cssFamilies(tavrel::core::Face face)
{
    std::string list;
    for (const auto family : tavrel::core::familiesFor(face))
        list += "\"" + utf8(family) + "\", ";
    return list
        + (face == tavrel::core::Face::Hei || face == tavrel::core::Face::Default ? "sans-serif"
                                                                                  : "serif");
}

std::string cssFont(const tavrel::core::FontRequest &font)
{
    const double points = tavrel::core::pointsOf(font);
    std::string size = std::to_string(points);
    size.erase(size.find_last_not_of('0') + 1);
    if (size.back() == '.')
        size.pop_back();
    return std::string(font.bold ? "bold " : "") + size + "pt " + cssFamilies(font.face);
}

void writeCss(std::ostream &out)
{
    out << "#Form1 { width: " << twipsToPixels(tavrel::core::formClientWidth)
        << "px; height: " << twipsToPixels(tavrel::core::formClientHeight) << "px; }\n";
    for (const ControlEntry &entry : tavrel::core::form1Controls) {
        out << "#" << entry.name << " { left: " << twipsToPixels(entry.left)
            << "px; top: " << twipsToPixels(entry.top)
            << "px; width: " << twipsToPixels(entry.width)
            << "px; height: " << twipsToPixels(entry.height) << "px; font: " << cssFont(entry.font)
            << "; }\n";
    }
}

// The prompt and the alert. Their captions are the core's; the prompt's
// title and message are the ones each ask() passes, set when it opens.
void writeDialogs(std::ostream &out)
{
    using tavrel::core::cancelCaption;
    using tavrel::core::confirmCaption;
    out << R"(<dialog id="prompt" aria-labelledby="prompt-title" aria-describedby="prompt-message">
<div class="title-bar"><h2 id="prompt-title"></h2><button type="button" id="prompt-close" class="close" aria-label="关闭">×</button></div>
<p id="prompt-message"></p>
<input id="prompt-answer" type="text" autocomplete="off" spellcheck="false" aria-labelledby="prompt-message">
<div class="buttons"><button type="button" id="prompt-ok">)"
        << escapedHtml(confirmCaption) << R"(</button><button type="button" id="prompt-cancel">)"
        << escapedHtml(cancelCaption) << R"(</button></div>
</dialog>
<dialog id="alert" role="alertdialog" aria-labelledby="alert-title" aria-describedby="alert-message">
<div class="title-bar"><h2 id="alert-title">)"
        << escapedHtml(tavrel::core::formTitle) << R"(</h2></div>
<p id="alert-message"></p>
<div class="buttons"><button type="button" id="alert-ok">)"
        << escapedHtml(confirmCaption) << R"(</button></div>
</dialog>
)";
}

int writePage(std::span<char *> args)
{
    if (args.size() != 3) {
        std::cerr << "usage: form1_page html|dialogs|title|css OUT\n";
        return 2;
    }
    const std::string_view what = args[1];
    std::ofstream out(args[2]);
    if (what == "html")
        writeControls(out, Container::Form1);
    else if (what == "title")
        out << escapedHtml(tavrel::core::formTitle);
    else if (what == "dialogs")
        writeDialogs(out);
    else if (what == "css")
        writeCss(out);
    else
        return 2;
    out.close();
    return out ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    try {
        return writePage(std::span<char *>(argv, static_cast<std::size_t>(argc)));
    } catch (const std::exception &error) {
        std::cerr << "form1_page: " << error.what() << '\n';
        return 1;
    }
}
