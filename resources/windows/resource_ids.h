/* Numeric IDs of Tavrel's own Windows resources, shared by the resource
   script and the code that loads them. Plain C preprocessor only: the
   resource compiler reads this file too. */
#ifndef TAVREL_RESOURCE_IDS_H
#define TAVREL_RESOURCE_IDS_H

/* The stamp picture of Image1 as a bitmap: drawn at 57 x 57, and at twice
   that for screens above 96 dpi, which is scaled down from there. */
#define TAVREL_STAMP_BITMAP 201
#define TAVREL_STAMP_BITMAP_2X 202

/* The application icon keeps the name the shared script gives it. */
#define TAVREL_ICON_NAME L"IDI_ICON1"

#endif
