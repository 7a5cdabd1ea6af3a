// The scanner of a TeX file's text: what it finds, and where each key stands.
#include <gtest/gtest.h>

#include "project/tex_scanner.h"

namespace project {
namespace {

// One use as "kind command key line:column+length".
std::string describe(const Use& use) {
    static const char* const kinds[] = {"ref", "cite", "input", "bib", "graphics"};
    return std::string(kinds[static_cast<int>(use.kind)]) + ' ' + use.command.toStdString() + ' ' +
           use.key.toStdString() + (use.folder.isEmpty() ? "" : " in " + use.folder.toStdString()) +
           ' ' + std::to_string(use.at.line) + ':' + std::to_string(use.at.column) + '+' +
           std::to_string(use.at.length);
}

std::vector<std::string> usesOf(const char* text) {
    std::vector<std::string> result;
    for (const Use& use : scanTex(QString::fromUtf8(text)).uses)
        result.push_back(describe(use));
    return result;
}

struct UseCase {
    const char* text;
    std::vector<std::string> uses;
};

TEST(TexScanner, FindsEveryUseWithTheExactPlaceOfItsKey) {
    const UseCase cases[] = {
        {"see \\ref{fig:a} and \\eqref{eq}", {"ref ref fig:a 0:9+5", "ref eqref eq 0:27+2"}},
        {"\\autoref*{x} \\cref{a, b,c} \\crefrange{p}{q}",
         {"ref autoref x 0:10+1", "ref cref a 0:19+1", "ref cref b 0:22+1", "ref cref c 0:24+1",
          "ref crefrange p 0:38+1", "ref crefrange q 0:41+1"}},
        {"\\hyperref[sec]{text}", {"ref hyperref sec 0:10+3"}},
        {"\\citep[см.][с.~5]{ivanov, петров2020}\n\\nocite{*}",
         {"cite citep ivanov 0:18+6", "cite citep петров2020 0:26+10"}},
        {"\\textcite{a}\\parencite*{b}\\footcite[p]{c}\\autocite{d}",
         {"cite textcite a 0:10+1", "cite parencite b 0:24+1", "cite footcite c 0:39+1",
          "cite autocite d 0:51+1"}},
        {"\\input{ch/one}\\include{two}\n\\input three \\subfile{s}",
         {"input input ch/one 0:7+6", "input include two 0:23+3", "input input three 1:7+5",
          "input subfile s 1:22+1"}},
        {"\\import{parts/}{a}\\subimport*{b/}{c}",
         {"input import a in parts/ 0:16+1", "input subimport c in b/ 0:34+1"}},
        {"\\bibliography{refs, more}\\addbibresource[label=x]{lit.bib}",
         {"bib bibliography refs 0:14+4", "bib bibliography more 0:20+4",
          "bib addbibresource lit.bib 0:50+7"}},
        {"\\includegraphics[width=3cm]{img/pic}", {"graphics includegraphics img/pic 0:28+7"}},
        // Comments, verbatim and macro parameters hide what looks like a use.
        {"% \\ref{a}\n50\\% \\ref{b} % \\ref{c}", {"ref ref b 1:10+1"}},
        {"\\begin{verbatim}\\ref{a}\\end{verbatim}\\verb|\\ref{b}|\\ref{c}", {"ref ref c 0:56+1"}},
        {"\\newcommand{\\r}[1]{\\ref{#1}}\\ref{x}", {"ref ref x 0:33+1"}},
        // A label made of macros is kept as written; an argument never closed is none.
        {"\\ref{fig:\\thechapter}\\ref{open", {"ref ref fig:\\thechapter 0:5+15"}},
    };
    for (const UseCase& c : cases)
        EXPECT_EQ(usesOf(c.text), c.uses) << c.text;
}

TEST(TexScanner, HeadingsLabelsAndFloatsCarryTheirContext) {
    const FileIndex index = scanTex(
        QString::fromUtf8("\\chapter*{Введение}\\label{ch:intro}\n"
                          "\\section[short]{Обзор {методов}}\n"
                          "\\begin{figure}\n\\label{fig:early}\\caption{Схема}\n\\end{figure}\n"
                          "\\begin{table}\\caption{Данные}\\label{tab:d}\\end{table}\n"
                          "\\subparagraph{Last}\\label{lbl:last}"));
    ASSERT_EQ(index.headings.size(), 3u);
    EXPECT_EQ(index.headings[0].level, 1);
    EXPECT_EQ(index.headings[0].title, QStringLiteral("Введение"));
    EXPECT_EQ(index.headings[1].title, QStringLiteral("Обзор {методов}"));
    EXPECT_EQ(index.headings[1].at.line, 1);
    EXPECT_EQ(index.headings[2].level, 6);

    std::vector<std::pair<QString, QString>> labels;
    for (const Label& l : index.labels)
        labels.emplace_back(l.key, l.context);
    const std::vector<std::pair<QString, QString>> expected = {
        {"ch:intro", "Введение"},
        {"fig:early", "Схема"}, // the caption after the label still counts
        {"tab:d", "Данные"},
        {"lbl:last", "Last"}};
    EXPECT_EQ(labels, expected);

    ASSERT_EQ(index.floats.size(), 2u);
    EXPECT_EQ(index.floats[0].kind, FloatKind::Figure);
    EXPECT_EQ(index.floats[0].label, QStringLiteral("fig:early"));
    EXPECT_EQ(index.floats[0].at.line, 2);
    EXPECT_EQ(index.floats[1].caption, QStringLiteral("Данные"));
}

TEST(TexScanner, DefinitionsPackagesAndBibitems) {
    const FileIndex index = scanTex(QString::fromUtf8(
        "\\documentclass[a4paper]{report}\n"
        "\\usepackage[utf8]{inputenc}\\RequirePackage{amsmath, graphicx}\n"
        "\\newcommand{\\R}{\\mathbb{R}}\\renewcommand*\\vec[1]{\\mathbf{#1}}\n"
        "\\DeclareMathOperator*{\\argmax}{arg\\,max}\\def\\foo#1{\\section{Not one}}\n"
        "\\newenvironment{proof2}{\\begin{figure}}{\\end{figure}}\\newtheorem{теорема}{Т}\n"
        "\\begin{thebibliography}{9}\\bibitem[И]{иванов} x\\end{thebibliography}"));
    QStringList names;
    for (const Definition& d : index.definitions)
        names << d.name + (d.environment ? QStringLiteral(" env") : QString());
    EXPECT_EQ(names,
              QStringList({"\\R", "\\vec", "\\argmax", "\\foo", "proof2 env", "теорема env"}));
    EXPECT_TRUE(index.headings.empty()) << "a definition's body is not the document";
    EXPECT_TRUE(index.floats.empty());
    EXPECT_EQ(index.packages, QStringList({"inputenc", "amsmath", "graphicx"}));
    EXPECT_EQ(index.documentClass, QStringLiteral("report"));
    ASSERT_EQ(index.bibitems.size(), 1u);
    EXPECT_EQ(index.bibitems[0].key, QStringLiteral("иванов"));
}

TEST(TexScanner, MagicRootComment) {
    EXPECT_EQ(magicRoot(u"% !TeX root = ../main.tex\n\\section{A}"), QStringLiteral("../main.tex"));
    EXPECT_EQ(magicRoot(u"\n%!TEX ROOT=thesis\n"), QStringLiteral("thesis"));
    EXPECT_EQ(magicRoot(u"% !TeX program = xelatex\n"), std::nullopt);
    EXPECT_EQ(magicRoot(u"\\input{x} % !TeX root = a.tex"), std::nullopt);
}

} // namespace
} // namespace project
