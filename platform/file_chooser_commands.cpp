#include "platform/file_chooser_commands.h"

#include <cctype>

namespace platform {

namespace {

// "*.qza" and, for files named on systems that write extensions in capitals, "*.QZA".
std::vector<std::string> patternsOf(const std::string& extension) {
    std::string upper = extension;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::vector<std::string> patterns{"*." + extension};
    if (upper != extension) patterns.push_back("*." + upper);
    return patterns;
}

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts) {
        if (!text.empty()) text += separator;
        text += part;
    }
    return text;
}

// The filter syntaxes give '|' (and for kdialog a new line) a meaning of their own.
std::string filterDescription(const std::string& description) {
    std::string text = description;
    for (char& c : text)
        if (c == '|' || c == '\n') c = '/';
    return text;
}

// Where the chooser opens: the folder, with the proposed name for saving.
std::string startPath(const FileDialogRequest& request) {
    std::string path = request.initialDirectory;
    if (!path.empty() && path.back() != '/') path += '/';
    if (request.style == FileDialogRequest::Style::saveFile) path += request.defaultFileName;
    return path;
}

std::vector<std::string> zenityArguments(const FileDialogRequest& request) {
    std::vector<std::string> args{"--file-selection", "--title=" + request.title};
    if (request.parentWindow != 0) {
        args.push_back("--attach=" + std::to_string(request.parentWindow));
        args.push_back("--modal");
    }
    if (request.style == FileDialogRequest::Style::saveFile) {
        args.push_back("--save");
        args.push_back("--confirm-overwrite");
    } else if (request.multipleFiles) {
        args.push_back("--multiple");
        args.push_back("--separator=\n");
    }
    const std::string start = startPath(request);
    if (!start.empty()) args.push_back("--filename=" + start);
    for (const FileType& type : request.types)
        args.push_back("--file-filter=" + filterDescription(type.description) + " | " +
                       joined(patternsOf(type.extension), " "));
    if (!request.types.empty()) args.push_back("--file-filter=All files | *");
    return args;
}

std::vector<std::string> kdialogArguments(const FileDialogRequest& request) {
    std::vector<std::string> args{"--title", request.title};
    if (request.parentWindow != 0) {
        args.push_back("--attach");
        args.push_back(std::to_string(request.parentWindow));
    }
    const bool save = request.style == FileDialogRequest::Style::saveFile;
    args.push_back(save ? "--getsavefilename" : "--getopenfilename");
    // An absolute start path begins with '/', never with '-' or ':' (which kdialog reads as
    // an option or a remembered place).
    args.push_back(startPath(request));
    std::vector<std::string> filters;
    for (const FileType& type : request.types)
        filters.push_back(joined(patternsOf(type.extension), " ") + "|" + filterDescription(type.description));
    if (!filters.empty()) filters.push_back("*|All files");
    args.push_back(joined(filters, "\n"));
    if (!save && request.multipleFiles) {
        args.push_back("--multiple");
        args.push_back("--separate-output");
    }
    return args;
}

}  // namespace

std::vector<std::string> fileChooserArguments(FileChooser chooser, const FileDialogRequest& request) {
    return chooser == FileChooser::zenity ? zenityArguments(request) : kdialogArguments(request);
}

std::vector<std::string> chosenPaths(const std::string& output, bool multipleFiles) {
    std::vector<std::string> paths;
    std::string text = output;
    // The chooser ends its answer with one new line; a file name may itself end in spaces.
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (text.empty()) return paths;
    if (!multipleFiles) {
        paths.push_back(text);
        return paths;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty()) paths.push_back(line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return paths;
}

std::string withDefaultExtension(const std::string& path, const std::string& extension) {
    if (extension.empty()) return path;
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (nameStart >= path.size()) return path;  // no file name to extend
    // A dot that starts the name (".hidden") is no extension.
    const std::size_t dot = path.find('.', nameStart + 1);
    if (dot != std::string::npos) return path;
    return path + "." + extension;
}

}  // namespace platform
