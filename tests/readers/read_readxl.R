# Reads every sheet of a workbook with readxl and prints its cells, one a line:
# sheet, row, column, "n" (number) or "s" (text), value; tabs and line breaks
# in text escaped as \t, \n, backslash as \\.  Rscript read_readxl.R BOOK.xlsx
suppressPackageStartupMessages(library(readxl))
book <- commandArgs(trailingOnly = TRUE)[1]
escape <- function(text) gsub("\n", "\\n", gsub("\t", "\\t", gsub("\\", "\\\\", text, fixed = TRUE), fixed = TRUE), fixed = TRUE)
out <- character()
for (sheet in excel_sheets(book)) {
  table <- read_excel(book, sheet = sheet, col_names = FALSE, col_types = "list", trim_ws = FALSE,
                      range = cellranger::cell_limits(c(1, 1), c(NA, NA)), .name_repair = "minimal")
  for (col in seq_along(table)) {
    for (row in seq_len(nrow(table))) {
      value <- table[[col]][[row]]
      if (length(value) == 0 || is.na(value)) next
      kind <- if (is.numeric(value)) "n" else "s"
      text <- if (is.numeric(value)) format(value, digits = 15, scientific = FALSE) else escape(enc2utf8(as.character(value)))
      out <- c(out, paste(sheet, row, col, kind, text, sep = "\t"))
    }
  }
}
writeLines(enc2utf8(out), stdout(), useBytes = TRUE)
