// Reads a workbook with ExcelJS and prints what it found as JSON: each sheet's
// cells (text or number) and its print settings.  read_exceljs.js BOOK.xlsx
'use strict';
const ExcelJS = require('exceljs');

async function main() {
  const book = new ExcelJS.Workbook();
  await book.xlsx.readFile(process.argv[2]);
  const sheets = [];
  book.eachSheet((sheet) => {
    const cells = {};
    sheet.eachRow({ includeEmpty: false }, (row) => {
      row.eachCell({ includeEmpty: false }, (cell) => {
        let value = cell.value;
        if (value && typeof value === 'object' && value.richText)
          value = value.richText.map((run) => run.text).join('');
        if (value !== null && value !== undefined && value !== '')
          cells[cell.address] = value;
      });
    });
    const setup = sheet.pageSetup;
    sheets.push({
      name: sheet.name,
      cells,
      orientation: setup.orientation,
      fitToPage: !!setup.fitToPage,
      fitToWidth: setup.fitToWidth,
      fitToHeight: setup.fitToHeight,
      printTitlesRow: setup.printTitlesRow || null,
      printTitlesColumn: setup.printTitlesColumn || null,
      autoFilter: sheet.autoFilter || null,
      frozen: sheet.views.length > 0 ? { x: sheet.views[0].xSplit || 0, y: sheet.views[0].ySplit || 0 } : null,
    });
  });
  process.stdout.write(JSON.stringify(sheets));
}

main().catch((error) => {
  process.stderr.write(String(error && error.stack ? error.stack : error) + '\n');
  process.exit(1);
});
