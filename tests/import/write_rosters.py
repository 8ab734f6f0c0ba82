"""Rosters written by other programs than ours: openpyxl for .xlsx, the csv module for text.

Usage: write_rosters.py FOLDER
"""
import csv
import datetime
import sys
import zipfile

import openpyxl

folder = sys.argv[1]

# openpyxl writes inline strings and its own number texts; three values are then rewritten the
# way other writers store them ("1001.0", "1.002E+3", "0.30000000000000004").
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "名单"
ws.append(["序号", "工号", "姓名", "部门", "入职日期"])
ws.append([1, 777777, "张三", "销售部", datetime.date(2020, 3, 1)])
ws.append([2, 888888, "李四", "市场部", datetime.datetime(2021, 12, 31, 0, 0)])
ws.append([3, 123456789012345, "王五", "研发部", None])
ws.append([4, 1004, "赵六\t六", "研发部", 999999])
hidden = wb.create_sheet("离职")
hidden.sheet_state = "hidden"
hidden.append(["x1", "y1", "z1"])
path = f"{folder}/openpyxl.xlsx"
wb.save(path)
with zipfile.ZipFile(path) as z:
    parts = {n: z.read(n) for n in z.namelist()}
sheet = parts["xl/worksheets/sheet1.xml"]
sheet = sheet.replace(b"<v>777777</v>", b"<v>1001.0</v>").replace(b"<v>888888</v>", b"<v>1.002E+3</v>")
sheet = sheet.replace(b"<v>999999</v>", b"<v>0.30000000000000004</v>")
parts["xl/worksheets/sheet1.xml"] = sheet
with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
    for name, data in parts.items():
        z.writestr(name, data)
# Stored, not deflated, and one digit changed afterwards: only the checksum can tell.
stored = f"{folder}/changed.xlsx"
with zipfile.ZipFile(stored, "w", zipfile.ZIP_STORED) as z:
    for name, data in parts.items():
        z.writestr(name, data)
with open(stored, "rb") as f:
    data = f.read()
with open(stored, "wb") as f:
    f.write(data.replace(b"<v>1001.0</v>", b"<v>1009.0</v>"))

rows = [["工号", "姓名", "备注"], ["1001", "张三", "说, \"好\"\n第二行"], ["1002", "李四", ""]]
with open(f"{folder}/utf8bom.csv", "w", encoding="utf-8-sig", newline="") as f:
    csv.writer(f).writerows(rows)
with open(f"{folder}/gbk.csv", "w", encoding="gbk", newline="") as f:
    csv.writer(f, delimiter=";").writerows(rows)
# Excel's "Unicode 文本": UTF-16 with a byte order mark, tab-separated.
with open(f"{folder}/unicode.txt", "w", encoding="utf-16", newline="") as f:
    csv.writer(f, delimiter="\t", lineterminator="\r\n").writerows(rows)
with open(f"{folder}/utf8.csv", "w", encoding="utf-8", newline="") as f:
    csv.writer(f).writerows(rows)
