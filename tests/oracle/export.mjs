// Prints a table as CSV with the npm package mdb-reader, in versedb's format,
// so the tests can compare our reader (and writer) with an independent one.
// usage: node export.mjs FILE TABLE
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const [file, tableName] = process.argv.slice(2);
const reader = new MDBReader(readFileSync(file));
const table = reader.getTable(tableName);
const columns = table.getColumns();

const quote = (s) => '"' + s.replaceAll('"', '""') + '"';

function field(value, column) {
  if (value === null || value === undefined) return "";
  switch (column.type) {
    case "boolean": return value ? "1" : "0";
    case "datetime": {
      // Both other tools round to the nearest second; a Date keeps milliseconds.
      const d = new Date(Math.round(value.getTime() / 1000) * 1000);
      return quote(d.toISOString().slice(0, 19).replace("T", " "));
    }
    case "binary": case "ole": return quote(Buffer.from(value).toString("hex").toUpperCase());
    case "text": case "memo": return quote(value);
    case "repid": return quote(value.toUpperCase());
    default: return String(value);
  }
}

const lines = [columns.map((c) => c.name).join(",")];
for (const row of table.getData()) lines.push(columns.map((c) => field(row[c.name], c)).join(","));
process.stdout.write(lines.join("\n") + "\n");
