// Dialog templates: the controls of a dialog with their ids, kinds, texts, fixed list contents
// and layout, in one of the languages, read from the resource files (res/dialog-<id>.json).
#pragma once
#include <string>
#include <vector>

#include "host/DialogControls.h"

struct DialogControlTemplate {
    int id = 0;               // 0: a control the code does not address (labels, frames)
    ControlKind kind = ControlKind::Label;
    bool group = false;       // starts a group (the first radio of a radio group)
    int x = 0, y = 0, w = 0, h = 0;  // layout, in dialog pixels
    std::string text;         // caption in the template's language
    std::vector<std::string> items;  // list contents the template brings along
    int buddy = 0;            // up-down control: the field it is attached to
    bool multiSelect = false; // list box
};

struct DialogTemplate {
    unsigned int id = 0;
    std::string language;     // e.g. "en", "de", "ja"
    std::string caption;
    int width = 0, height = 0;
    std::vector<DialogControlTemplate> controls;  // in tab (creation) order
};

// Folder of the resource files: $RPHOTO_RES_DIR, else the project's res folder.
std::string ResourceDirectory();
// The languages the dialog resources come in, English first.
const std::vector<std::string>& DialogLanguages();
// Reads dialog `id` in `language` from the resource folder. On failure answers false with a
// one-line message naming the file and the place in *error.
bool LoadDialogTemplate(unsigned int id, const std::string& language, DialogTemplate* out, std::string* error);
// The same from a given file.
bool LoadDialogTemplateFile(const std::string& path, const std::string& language, DialogTemplate* out,
                            std::string* error);
const char* ControlKindName(ControlKind kind);
