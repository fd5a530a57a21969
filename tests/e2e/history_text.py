#!/usr/bin/env python3
"""Writes a plain-text history (the form the batch conversion leaves) into a
data folder: one session a day up to yesterday, hourly periods, one record per
program and period; with TITLES, as many records per period of program p0000
under window titles never seen before (a detailed-statistics program); with
SESSIONS, as many more sessions a day without periods, a minute apart before
the day's own. Usage: history_text.py FOLDER DAYS PROGRAMS [PERIODS [TITLES [SESSIONS]]]"""
import datetime
import os
import sys


def stamp(moment):
    text = f"{moment.day}.{moment.month}.{moment.year}"
    if (moment.hour, moment.minute, moment.second) != (0, 0, 0):
        text += moment.strftime(" %H:%M:%S")
    return text


def main():
    folder, days, programs = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    periods = int(sys.argv[4]) if len(sys.argv) > 4 else 4
    titles = int(sys.argv[5]) if len(sys.argv) > 5 else 0
    sessions = int(sys.argv[6]) if len(sys.argv) > 6 else 0
    title_no = 0
    os.makedirs(folder, exist_ok=True)
    today = datetime.date.today()
    months = {}
    for back in range(days, 0, -1):
        day = today - datetime.timedelta(days=back)
        start = datetime.datetime(day.year, day.month, day.day, 8, 0, 0)
        lines = []
        for minutes in range(sessions, -1, -1):
            session = start - datetime.timedelta(minutes=minutes)
            lines += ["", "#-------------------------------------------", "#Seance dne: " + stamp(session)]
        for period in range(periods):
            begin = start + datetime.timedelta(hours=period)
            end = begin + datetime.timedelta(minutes=59, seconds=59)
            lines += ["", f"#Statistika od {stamp(begin)} do {end:%H:%M:%S}", "#cas (sec),cesta,titulek"]
            # Uneven, fixed shares so that every sort column orders the rows.
            lines += [f"{1 + (p * 37 + back * 11 + period) % 600},C:\\Apps\\p{p:04d}\\p{p:04d}.exe,"
                      for p in range(programs) if (p + back) % 3 != 0 or p < 3]
            lines += [f"1,C:\\Apps\\p0000\\p0000.exe,Dokument {title_no + t}" for t in range(titles)]
            title_no += titles
            lines.append("")
        months.setdefault((day.year, day.month), []).extend(lines)
    for (year, month), lines in months.items():
        with open(os.path.join(folder, f"Tramo2_cvs{year}_{month:02d}.txt"), "wb") as out:
            out.write("\r\n".join(lines).encode("cp1250") + b"\r\n")


if __name__ == "__main__":
    main()
