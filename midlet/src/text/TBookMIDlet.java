import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.DataInputStream;
import java.io.DataOutputStream;
import java.io.InputStream;
import javax.microedition.lcdui.Alert;
import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Command;
import javax.microedition.lcdui.CommandListener;
import javax.microedition.lcdui.Display;
import javax.microedition.lcdui.Displayable;
import javax.microedition.lcdui.Font;
import javax.microedition.lcdui.Form;
import javax.microedition.lcdui.Graphics;
import javax.microedition.lcdui.Image;
import javax.microedition.lcdui.List;
import javax.microedition.lcdui.TextBox;
import javax.microedition.lcdui.TextField;
import javax.microedition.midlet.MIDlet;
import javax.microedition.rms.RecordStore;

/**
 * The text-book reader. A package carries no class files but the embedded ones, so the whole
 * reader lives in this class; the canvas only forwards paint and keys here.
 *
 * A phone interprets every bytecode, so a page turn does little: the page is laid out once (by
 * paint, or by pageBefore when paging back), its glyphs are readied in one pass, and each letter
 * is copied from the atlas, a mutable image where each glyph was drawn once (setClip and
 * drawImage); only letters the atlas has no room for are drawn a run of ink at a time.
 *
 * The part is never loaded whole: letters come from pieces of 1024 letters of the book files,
 * five kept, and glyph columns from the 2048-word font files, read a kilobyte at a time in the
 * order of the font data, so that each font file is opened at most once for a page. The
 * letters of a CJK page come from many font files. A page is laid out from its first letter
 * `top`, the way the tool's screen preview does it.
 *
 * The files it reads are written by the tool's engine: cfg.dat by engine/config_file.cc (with
 * the password check value), toc.dat (the whole book's headings) by engine/contents_file.cc,
 * the book files by WriteTextPart in engine/text_parts.cc, the font files by
 * engine/font_files.cc, the pictures by engine/part_pictures.cc; engine/build.cc decides which
 * a package gets, and engine/embedded_files.cc carries this class.
 *
 * The fields, group by group in the order below:
 * - settings: what cfg.dat says, read once by readSettings;
 * - password and fonts: the book files' key, the remembered key, the phone font or the glyph
 *   index of the font files, the cell height;
 * - glyphs: the atlas and its cells, the pieces of the book that `at` reads, the file being
 *   read, the glyph columns of the page on screen, and the one picture that lineHeight keeps;
 * - paging and search: stage, the part's first letter shown, top and bottom of the page, trail,
 *   the page's lines and those before it, the page size, hit, query;
 * - records: the bookmarks, which saveState keeps with top and the remembered key;
 * - menus: the positions behind a list's entries, the package names of other parts, the display,
 *   the screen on view, commands.
 */
public class TBookMIDlet extends MIDlet implements CommandListener, Runnable {
  private static final int SPLASH = 0, PASSWORD = 1, READING = 2;
  private static final int CANVAS = 0, MENU = 1, CONTENTS = 2, GO_TO = 3, MARKS = 4, SEARCH = 5,
      INFO = 6, ASK = 7;
  private static final String[] MENU_ITEMS = {"Contents", "Go to %", "Bookmarks", "Search", "Info",
                                              "Exit"};
  private static final String KEYS = "Keys: 4/6 page, 2/8 line, 1 start, 7 end, 5 menu";
  private static final String STORE = "velkaro";
  private static final byte[] ROW = new byte[32];  // the row of a one-bit column, by de Bruijn
  private static final int MARK = 256;  // a glyph's info: a combining mark, which takes no width
  // The most pixels of glyph images the atlas holds; a phone stores two bytes for each. The atlas
  // and the glyph index (seven bytes a slot) share ATLAS_BYTES.
  private static final int GLYPH_PIXELS = 16384, ATLAS_BYTES = 49152;
  private static final int RARE = 254;  // a glyph's cell: a rare letter, never in the atlas

  // Settings: cfg.dat.
  private int length, lineSpacing, charSpacing, backColor, textColor, checkValue, passwordMode;
  private boolean wrap, portrait;
  private String info, fontName, toolName;
  private String checkedText;    // the text that the password check value is made from
  private int[] headings;

  // Password and fonts.
  private int key;               // undoes the XOR of the book files
  private int rememberedKey = -1;  // password mode 1: the key once it was entered right
  private Font phoneFont;        // null when the package carries font files
  private int cellHeight;

  // Glyph index of the font files: open hash from letter code to its glyph's info (column offset
  // << 9 | MARK | width) and 1 + its atlas cell (0: none yet; RARE + 1: none ever).
  private char[] glyphCode;
  private int[] glyphInfo;
  private byte[] glyphCell;
  private int glyphCount, fontWords;

  // The atlas: one image of glyph cells, cellWidth (the widest letter) by cellHeight, each glyph
  // drawn once into a cell and copied from there to the screen. A cell's owner is 1 + the slot of
  // its glyph in the index; cellPage the last page that used it (0: not since the hand passed).
  private Image atlas;
  private Graphics atlasGraphics;
  private int atlasRight;        // the atlas image's width, for turned cells
  private int cellWidth, cellsPerRow, commonRank, hand, page, atlasFull;
  private char[] cellOwner;
  private int[] cellPage;

  // Pieces of 1024 letters of the book files in five slots, enough for a page and a paragraph of
  // 4096 letters before it; the least recently used one is replaced.
  private final int[] slotPiece = new int[5], slotUse = new int[5];
  private final char[][] slotData = new char[5][];
  private final int[][] slotEnds = new int[5][];  // a bit for each line end
  private int useClock;

  // The file being read, a kilobyte at a time: bytes from its byte bytesStart to bytesEnd, and
  // the number of the font file when it is one (-1: a book file, or none).
  private InputStream input;
  private final byte[] bytes = new byte[1024];
  private int bytesStart, bytesEnd, inputFont = -1;
  private char[] bookText;       // the piece that `at` read last, and its line ends
  private int[] bookEnds;
  private int bookPiece = 1 << 22;  // none yet

  // Glyph columns of the page's letters that the atlas does not give: open hash from letter code
  // to 1 + where its columns start in pageColumns, its pageCount slots listed in pageOrder in the
  // order of the font data; gathered for the page at gatheredTop.
  private char[] pageCode = new char[1];
  private int[] pageAt = new int[1], pageOrder = new int[1], pageSorted = new int[1];
  private int[] pageColumns = new int[0], kilobyteEnds;
  private int pageCount, gatheredTop = -1;

  private int pictureCode = -1;  // the picture held in pictureImage (null: cannot be shown)
  private Image pictureImage;

  // Paging and search.
  private int stage, start, top, bottom, hit = -1;
  private final int[] trail = new int[16];  // tops of the pages that paging forward left
  private int trailLength, trailTop;
  private int[] lineStarts;      // the page's lines from top, then bottom; laid out for laidTop
  private int lineCount, laidTop = -1;
  private int[] linesBefore;     // beforeCount lines laid out before the page, up to beforeEnd
  private int beforeCount, beforeEnd = -1;
  private int screenWidth, screenHeight, pageWidth, pageHeight;
  private boolean rotated;
  private String query = "";

  // Records: the bookmarks.
  private int[] marks = new int[0];

  // Menus.
  private int[] targets;         // positions behind the entries of the list on screen
  private String bookName;       // parts of the book are packages of this name and their number

  private Display display;
  private Canvas canvas;
  private Image splash;
  private int screen;
  private final Command menuCommand = new Command("Menu", Command.SCREEN, 1);
  private final Command ok = new Command("OK", Command.OK, 1);
  private final Command back = new Command("Back", Command.BACK, 2);
  private final Command delete = new Command("Delete", Command.SCREEN, 3);
  private final Command exit = new Command("Exit", Command.EXIT, 4);

  static {
    for (int row = 0; row < 32; row++) ROW[(1 << row) * 0x077CB531 >>> 27] = (byte) row;
  }

  protected void startApp() {
    if (display != null) return;  // back from a pause: everything is still in place
    display = Display.getDisplay(this);
    TBookCanvasInit.midlet = this;
    canvas = (Canvas) TBookCanvas.make();
    try {
      canvas.addCommand(menuCommand);
      canvas.setCommandListener(this);
    } catch (RuntimeException fullCanvasHasNoCommands) {
    }
    try {
      readSettings();
    } catch (Exception e) {
      Form error = new Form("Error");
      error.append("Can not read the book: " + e);
      show(error, CANVAS, exit);
      return;
    }
    loadState();
    try {
      splash = Image.createImage("/splash.png");
    } catch (Exception noSplash) {
    }
    display.setCurrent(canvas);
    if (splash == null) {
      leaveSplash();
    } else {
      new Thread(this).start();
    }
  }

  protected void pauseApp() {
  }

  protected void destroyApp(boolean unconditional) {
    saveState();
  }

  /** The splash timer. */
  public void run() {
    try {
      Thread.sleep(2000);
    } catch (InterruptedException e) {
    }
    leaveSplash();
  }

  private synchronized void leaveSplash() {
    if (stage != SPLASH) return;
    splash = null;
    stage = PASSWORD;
    if (passwordMode == 1 && rememberedKey >= 0) {
      openBook(rememberedKey);
    } else if (passwordMode == 1 || passwordMode == 2) {
      askPassword();
    } else {
      int p = 0;  // no password asked: find the key that the check value was made with
      while (p < 65535 && check(p) != checkValue) p++;
      openBook(check(p) == checkValue ? p : 0);
    }
  }

  private void askPassword() {
    show(new TextBox("Password", "", 10, TextField.NUMERIC | TextField.PASSWORD), ASK, ok)
        .addCommand(exit);
  }

  /** The password check value of cfg.dat made with password p. */
  private int check(int p) {
    int h = 0;
    for (int k = 0; k < 16; k++) {
      int u = k < checkedText.length() ? checkedText.charAt(k) : 0;
      h = h << 1 ^ (u ^ p ^ k) & 0xFFFF;
    }
    return h;
  }

  private void openBook(int bookKey) {
    key = bookKey & 0xFFFF;
    if (!open("/font0.dat")) phoneFont = Font.getDefaultFont();
    measurePage();
    if (phoneFont != null) {
      cellHeight = phoneFont.getHeight();
    } else {
      loadFontIndex();
    }
    // A part begins where the cut left it, often with the blank after a full stop.
    while (start < length && (at(start) == ' ' || at(start) == 10 || at(start) == 13)) start++;
    top = align(top);
    stage = READING;
    read();
  }

  private void readSettings() throws Exception {
    DataInputStream in = new DataInputStream(getClass().getResourceAsStream("/cfg.dat"));
    length = in.readInt();
    lineSpacing = in.readInt();
    charSpacing = in.readInt();
    wrap = in.readInt() != 0;
    portrait = in.readInt() != 0;
    backColor = readColor(in);
    textColor = readColor(in);
    info = readText(in);
    fontName = readText(in);
    toolName = readText(in);
    checkedText = info + fontName + toolName;
    readText(in);  // the short version
    checkValue = in.readInt();
    passwordMode = in.readInt();
    headings = new int[in.readInt()];
    for (int i = 0; i < headings.length; i++) headings[i] = in.readInt();
    in.close();
  }

  /** Three integers red, green, blue as one 0xRRGGBB colour. */
  static int readColor(DataInputStream in) throws Exception {
    int rgb = 0;
    for (int i = 0; i < 3; i++) rgb = rgb << 8 | in.readInt() & 255;
    return rgb;
  }

  static String readText(DataInputStream in) throws Exception {
    char[] text = new char[in.readInt()];
    for (int i = 0; i < text.length; i++) text[i] = in.readChar();
    return new String(text);
  }

  // ---- Saved state: reading position, remembered password key, bookmarks.

  private void loadState() {
    try {
      RecordStore store = RecordStore.openRecordStore(STORE, true);
      byte[] record = store.getNumRecords() > 0 ? store.getRecord(1) : null;
      store.closeRecordStore();
      DataInputStream in = new DataInputStream(new ByteArrayInputStream(record));
      top = in.readInt();
      rememberedKey = in.readInt();
      marks = new int[in.readInt()];
      for (int i = 0; i < marks.length; i++) marks[i] = in.readInt();
    } catch (Exception nothingSaved) {
    }
  }

  private void saveState() {
    try {
      ByteArrayOutputStream bytes = new ByteArrayOutputStream();
      DataOutputStream out = new DataOutputStream(bytes);
      out.writeInt(top);
      out.writeInt(rememberedKey);
      out.writeInt(marks.length);
      for (int i = 0; i < marks.length; i++) out.writeInt(marks[i]);
      byte[] record = bytes.toByteArray();
      RecordStore store = RecordStore.openRecordStore(STORE, true);
      if (store.getNumRecords() == 0) {
        store.addRecord(record, 0, record.length);
      } else {
        store.setRecord(1, record, 0, record.length);
      }
      store.closeRecordStore();
    } catch (Exception e) {
    }
  }

  // ---- Book and font files.

  /** Letter p of the part; 0 outside it. */
  private int at(int p) {
    return p >> 10 == bookPiece ? bookText[p & 1023] : atInPiece(p);
  }

  /** Letter p, whose piece becomes the one that `at` reads. */
  private int atInPiece(int p) {
    int s = p < 0 || p >= length ? -1 : piece(p >> 10);
    if (s < 0) return 0;
    bookText = slotData[s];
    bookEnds = slotEnds[s];
    bookPiece = p >> 10;
    return bookText[p & 1023];
  }

  /**
   * The slot of piece n of the book, letters n * 1024 to n * 1024 + 1023, a quarter of a book
   * file: from the cache or read now; -1 if its file is missing. While the letters are decoded,
   * the line ends among them are marked, a bit each.
   */
  private int piece(int n) {
    int oldest = 0;
    for (int s = 0; s < slotPiece.length; s++) {
      if (slotPiece[s] == n + 1) {
        slotUse[s] = ++useClock;
        return s;
      }
      if (slotUse[s] < slotUse[oldest]) oldest = s;
    }
    if (!open("/book" + (n >> 2) + ".dat")) return -1;
    char[] data = slotData[oldest];
    int[] ends = slotEnds[oldest];
    if (data == null) {
      data = slotData[oldest] = new char[1024];
      ends = slotEnds[oldest] = new int[32];
    }
    for (int w = 0; w < 32; w++) ends[w] = 0;
    // The key sign-extended like the letter, so that a letter from U+8000 up is negative, not a
    // line end, whatever the key.
    byte[] in = bytes;
    int i = 0, first = (n & 3) * 2048, k = (short) key;
    while (i < 1024 && readTo(first + 2 * i)) {  // two of the kilobytes that readTo reads
      for (int b = first + 2 * i - bytesStart, stop = bytesEnd - bytesStart - 1; b < stop; b += 2) {
        int c = (in[b] << 8 | in[b + 1] & 255) ^ k;
        if (c <= 13 && (c == 10 || c == 13)) ends[i >> 5] |= 1 << i;
        data[i++] = (char) c;
      }
    }
    close();
    while (i < 1024) data[i++] = 0;  // the last file's end holds nothing
    slotPiece[oldest] = n + 1;
    slotUse[oldest] = ++useClock;
    return oldest;
  }

  /** Opens a file of the package to read it from its start; false when it is missing. */
  private boolean open(String name) {
    close();
    input = getClass().getResourceAsStream(name);
    bytesStart = bytesEnd = 0;
    return input != null;
  }

  private void close() {
    try {
      input.close();
    } catch (Exception noneOpen) {
    }
    input = null;
    inputFont = -1;
  }

  /** Reads on in the open file until `bytes` holds its byte `at`; false past its end. */
  private boolean readTo(int at) {
    try {
      while (at >= bytesEnd) {
        int got = 0;
        for (int r; got < 1024 && (r = input.read(bytes, got, 1024 - got)) > 0; ) got += r;
        if (got == 0) return false;
        bytesStart = bytesEnd;
        bytesEnd += got;
      }
      return true;
    } catch (Exception unreadable) {
      return false;
    }
  }

  /**
   * Word i of the font data. Its font file is read onward from the word read last, or opened anew,
   * so words are best asked for in their order.
   */
  private int word(int i) {
    int at = (i & 2047) * 4 - bytesStart;
    if (i >> 11 != inputFont || at < 0 || at >= bytesEnd - bytesStart) {
      if (i >> 11 != inputFont || at < 0) {
        open("/font" + (i >> 11) + ".dat");
        inputFont = i >> 11;
      }
      if (!readTo((i & 2047) * 4)) return 0;
      at = (i & 2047) * 4 - bytesStart;
    }
    return bytes[at] << 24 | (bytes[at + 1] & 255) << 16 | (bytes[at + 2] & 255) << 8
        | bytes[at + 3] & 255;
  }

  /**
   * Indexes every glyph of the font data: counts them and finds the widest in a first walk, so
   * that the index is made once at its size, and fills it in a second. The atlas gets as many
   * cells of the widest letter as its share of ATLAS_BYTES allows, ten or so to a row; when they
   * are fewer than the letters, only the most frequent of each letter group may take one.
   */
  private void loadFontIndex() {
    cellHeight = word(0);
    glyphCount = walkFontData();
    kilobyteEnds = new int[(fontWords >> 8) + 2];
    int size = glyphCount + glyphCount / 8 + 1;
    int pixels = Math.min(GLYPH_PIXELS, Math.max(0, ATLAS_BYTES - 7 * size) / 2);
    int cells = Math.min(RARE, pixels / Math.max(1, cellWidth * cellHeight));
    cellsPerRow = Math.max(1, Math.min(cells, 128 / Math.max(1, cellWidth)));
    cells = cells / cellsPerRow * cellsPerRow;
    commonRank = cells >= glyphCount ? cells : cells / 16 + 1;
    glyphCode = new char[size];
    glyphInfo = new int[size];
    glyphCell = new byte[size];
    walkFontData();
    close();
    if (cells == 0 || cellWidth == 0) return;
    cellPage = new int[cells];
    cellOwner = new char[cells];
    int across = cellsPerRow * cellWidth, down = cells / cellsPerRow * cellHeight;
    atlasRight = rotated ? down : across;  // a turned page has a turned atlas
    atlas = rotated ? Image.createImage(down, across) : Image.createImage(across, down);
    atlasGraphics = atlas.getGraphics();
  }

  /**
   * Walks the sixteen letter groups of the font data, each glyph a code word (1 in its high half
   * for a combining mark), a width word and its columns, and puts each into the index once there
   * is one. Returns the number of glyphs.
   */
  private int walkFontData() {
    int count = 0, i = 1;
    for (int group = 0; group < 16; group++) {
      for (int end = i + 1 + word(i++), rank = 0; i < end; count++, rank++) {
        int code = word(i), width = word(i + 1), mark = code >>> 16 & 1;
        if (glyphCode != null) {
          int s = slot(glyphCode, glyphInfo, code & 0xFFFF);
          glyphCode[s] = (char) code;
          glyphInfo[s] = (i + 2) << 9 | mark << 8 | width & 255;
          if (rank >= commonRank) glyphCell[s] = (byte) (RARE + 1);
        } else if (mark == 0) {
          cellWidth = Math.max(cellWidth, width);
        }
        i += 2 + width;
      }
    }
    fontWords = i;
    return count;
  }

  /** The slot of code in an open hash of codes and non-zero values: its own, or an empty one. */
  static int slot(char[] codes, int[] values, int code) {
    int s = (code * 40503 & 0xFFFF) % codes.length;
    while (values[s] != 0 && codes[s] != code) {
      if (++s == codes.length) s = 0;
    }
    return s;
  }

  /** Column offset << 9 | mark << 8 | width of a letter's glyph; 0 for a letter the font lacks. */
  private int glyph(int c) {
    return glyphInfo[slot(glyphCode, glyphInfo, c)];
  }

  /** How far a letter moves the pen: its width and the letter spacing; a combining mark, nil. */
  private int advance(int c) {
    if (phoneFont != null) return phoneFont.charWidth((char) c) + charSpacing;
    int info = glyph(c);
    return (info & MARK) != 0 ? 0 : (info & 255) + charSpacing;
  }

  /**
   * Readies the glyphs of the page: those in the atlas stay there while it is drawn, and the
   * columns of the others (combining marks and marked letters always) are read into the page
   * store in the order of the font data, so that each font file is read at most once.
   */
  private void gatherGlyphs() {
    page++;
    gatheredTop = top;
    int size = pageAt.length, most = Math.min(bottom - top, glyphCount), count = 0, columns = 0;
    for (int k = 0; k < pageCount; k++) pageAt[pageOrder[k]] = 0;  // the last page's letters
    if (size < most * 3 / 2 + 1) {  // the hash at most two thirds full
      while (size < most * 3 / 2 + 1) size <<= 1;
      pageCode = new char[size];
      pageAt = new int[size];
    }
    if (pageOrder.length < most) {
      pageOrder = new int[most];
      pageSorted = new int[most];
    }
    char[] codes = pageCode;
    int[] infos = pageAt;  // the glyph's info, then 1 + where its columns start
    int[] order = pageOrder;
    for (int p = top, hitEnd = hit < 0 ? -1 : hit + query.length(); p < bottom; p++) {
      int c = at(p);
      if (c < 32) {
        if (c == 1 && at(p + 2) == 2) p += 2;  // a picture
        continue;
      }
      int index = slot(glyphCode, glyphInfo, c), info = glyphInfo[index];
      int cell = (glyphCell[index] & 255) - 1;
      if (cell >= 0 && cell < RARE && (p < hit || p >= hitEnd)) {
        cellPage[cell] = page;
        continue;
      }
      int s = slot(codes, infos, c);
      if (info == 0 || infos[s] != 0) continue;
      codes[s] = (char) c;
      infos[s] = info;
      order[count++] = s;
      columns += info & 255;
    }
    pageCount = count;
    sortByKilobyte();
    if (pageColumns.length < columns) pageColumns = new int[columns];
    for (int k = 0, into = 0; k < count; k++) {
      int s = pageOrder[k], info = infos[s];
      readColumns(info >>> 9, info & 255, into);
      infos[s] = into + 1;
      into += info & 255;
    }
    close();
  }

  /**
   * Puts the page's glyphs in pageOrder into the order of the font data a kilobyte (256 words) at
   * a time, as readTo reads it: counted out by the kilobyte where each glyph starts, the one glyph
   * that runs on into the next kilobyte made the last of its own.
   */
  private void sortByKilobyte() {
    int[] ends = kilobyteEnds, order = pageOrder, sorted = pageSorted;
    for (int b = 0; b < ends.length; b++) ends[b] = 0;
    for (int k = 0; k < pageCount; k++) ends[(pageAt[order[k]] >>> 17) + 1]++;
    for (int b = 1; b < ends.length; b++) ends[b] += ends[b - 1];
    for (int k = 0; k < pageCount; k++) sorted[ends[pageAt[order[k]] >>> 17]++] = order[k];
    for (int k = 0; k < pageCount; k++) {
      int s = sorted[k], info = pageAt[s], last = ends[info >>> 17] - 1;
      if ((info >>> 9) + (info & 255) - 1 >>> 8 != info >>> 17) {
        sorted[k] = sorted[last];
        sorted[last] = s;
      }
    }
    pageOrder = sorted;
    pageSorted = order;
  }

  /** Reads n column words of the font data from word `from` on into pageColumns at `into`. */
  private void readColumns(int from, int n, int into) {
    for (int end = from + n; from < end; ) {
      word(from);  // `bytes` holds it and maybe more
      int at = (from & 2047) * 4 - bytesStart;
      if (at < 0 || at >= bytesEnd - bytesStart) {  // past the end of a damaged file
        pageColumns[into++] = 0;
        from++;
        continue;
      }
      for (int stop = Math.min(end, from + (bytesEnd - bytesStart - at) / 4); from < stop; from++) {
        int column = (bytes[at + 2] & 255) << 8 | bytes[at + 3] & 255;  // rows 0 to 15
        if (cellHeight > 16) column |= bytes[at] << 24 | (bytes[at + 1] & 255) << 16;
        pageColumns[into++] = column;
        at += 4;
      }
    }
  }

  // ---- Layout.

  private void measurePage() {
    screenWidth = canvas.getWidth();
    screenHeight = canvas.getHeight();
    rotated = !portrait && phoneFont == null;
    int width = rotated ? screenHeight : screenWidth, height = rotated ? screenWidth : screenHeight;
    if (width != pageWidth || height != pageHeight) {  // what was laid out no longer holds
      pageWidth = width;
      pageHeight = height;
      lineStarts = new int[height + 2];
      linesBefore = new int[height + 2];
      laidTop = beforeEnd = -1;
    }
  }

  private boolean pictureAt(int p) {
    return at(p) == 1 && at(p + 2) == 2;
  }

  /**
   * Where the line that starts at p ends (exclusive). A picture has a line of its own. With word
   * wrap the line ends after its last break letter; a blank that does not fit stays at the line's
   * end, but a punctuation mark that does not fit goes to the next line with its word.
   */
  private int lineEnd(int p) {
    if (pictureAt(p)) return p + 3;
    int x = 1, lastBreak = -1, breakBefore = -1;
    for (int i = p; i < length; i++) {
      int c = at(i);
      if (c == 1 && i > p && pictureAt(i)) return i;
      if (" ,.?!:;-".indexOf(c) >= 0) {
        breakBefore = lastBreak;
        lastBreak = i;
      }
      if (c == 10 || c == 13) return at(i + 1) == 10 && c == 13 ? i + 2 : i + 1;
      x += advance(c);
      if (x > pageWidth) {
        if (lastBreak == i && c != ' ') lastBreak = breakBefore;
        return wrap && lastBreak >= 0 ? lastBreak + 1 : Math.max(i, p + 1);
      }
    }
    return length;
  }

  /** Whether a line ends before letter p: after a line feed, or a carriage return not before one. */
  private boolean afterLineEnd(int p) {
    int c = at(p - 1);
    return c == 10 || c == 13 && at(p) != 10;
  }

  /**
   * The start of the paragraph that holds letter p - 1, at most 4096 letters before p: the line
   * ends before it are looked for 32 at a time in the bits that their piece keeps.
   */
  private int paragraphStart(int p) {
    int stop = Math.max(start, p - 4096);
    for (int j = p - 2; j >= stop; ) {  // j: the last letter not yet looked at
      at(j);  // `at` reads its piece now
      if (j >> 10 != bookPiece) break;  // a book file that is missing
      int bits = bookEnds[(j & 1023) >> 5] & -1 >>> 31 - (j & 31);
      if (bits == 0) {
        j = (j | 31) - 32;
        continue;
      }
      for (int b = 1; b < 32; b <<= 1) bits |= bits >>> b;  // the highest line end and below
      int end = (j & ~31) + ROW[((bits >>> 1) + 1) * 0x077CB531 >>> 27];
      if (end < stop) break;
      if (bookText[end & 1023] == 10 || at(end + 1) != 10) return end + 1;
      j = end - 1;  // a carriage return before a line feed ends no line
    }
    return stop;
  }

  /**
   * The start of the line that holds letter p - 1, found by laying out its paragraph; its lines
   * before that one stay in linesBefore for paging back.
   */
  private int prevLine(int p) {
    if (p <= start) return start;
    int s = paragraphStart(p);
    layOutBefore(s, p);
    int line = linesBefore[--beforeCount];
    if (line < 0) line = ~line;
    // A paragraph laid out from 4095 letters back: its lines are not those that paging back finds.
    beforeEnd = s > start && !afterLineEnd(s) ? -1 : line;
    return line;
  }

  /** The start of the line that holds letter p. */
  private int align(int p) {
    return prevLine(Math.min(p, length - 1) + 1);
  }

  /**
   * The first line of the fullest page whose last line ends at p; the page is laid out too, as
   * layoutPage would. The lines before p are laid out about a page's worth at a time, from a
   * paragraph's start, and those left before the page stay in linesBefore, so that paging back
   * on lays each line out once.
   */
  private int pageBefore(int p) {
    int q = p, need = 1 - lineSpacing, n = lineStarts.length - 1;  // lineStarts fills from the end
    int step = cellHeight + lineSpacing;  // a line of text
    boolean cut = false;  // a paragraph was laid out from 4095 letters back, not from its start
    while (q > start) {
      if (beforeEnd != q || beforeCount == 0) {
        // From the paragraph that holds the letter as many lines of the page on screen before q
        // as the page still has room for. When that is further back than 4095 letters, a longer
        // paragraph may lie between: then from the paragraph that holds q - 1 alone.
        int room = (pageHeight - need) / Math.max(1, step);
        int s = paragraphStart(q - room * Math.max(0, bottom - top) / Math.max(1, lineCount));
        if (q - s > 4095) {
          s = paragraphStart(q);
          cut |= s > start && !afterLineEnd(s);
        }
        layOutBefore(s, q);
      }
      // The last lines laid out, text a cell high: as many as fit at once (the page's last line
      // even when it does not).
      int most = Math.min(n, beforeCount), k = 0;
      if (step > 0) most = Math.min(most, Math.max(q < p ? 0 : 1, (pageHeight - need) / step));
      while (k < most && linesBefore[beforeCount - 1 - k] >= 0) k++;
      beforeCount -= k;
      n -= k;
      need += k * step;
      System.arraycopy(linesBefore, beforeCount, lineStarts, n, k);
      if (k > 0) q = lineStarts[n];
      if (beforeCount == 0) continue;  // all of them: lay out more before them
      // Then a line of text that does not fit, a full page, or a line that may be a picture.
      int r = linesBefore[beforeCount - 1];
      if (r >= 0 || n == 0) break;
      int h = lineHeight(r = ~r) + lineSpacing;
      if (need + h > pageHeight && q < p) break;
      need += h;
      lineStarts[--n] = q = r;
      beforeCount--;
    }
    beforeEnd = q;
    lineCount = 0;
    if (cut) {
      layoutFrom(q, q, 1);
      return q;
    }
    lineCount = lineStarts.length - 1 - n;
    System.arraycopy(lineStarts, n, lineStarts, 0, lineCount);
    layoutFrom(q, p, need + lineSpacing);
    return q;
  }

  /**
   * Lays out the lines from s, a paragraph's start, up to q into linesBefore; when there are more
   * than it holds, the last ones. A line of three letters that begins with a picture's first
   * letter is kept as ~start: it may be a picture, of a height of its own.
   */
  private void layOutBefore(int s, int q) {
    int[] lines = linesBefore;
    int count = 0, half = lines.length / 2;
    for (int e = s, next; e < q; e = next) {
      if (count == lines.length) {
        System.arraycopy(lines, half, lines, 0, lines.length - half);
        count -= half;
      }
      next = lineEnd(e);
      lines[count++] = next - e == 3 && at(e) == 1 ? ~e : e;
    }
    beforeCount = count;
    beforeEnd = q;
  }

  private void pageForward() {
    if (trailLength == trail.length) System.arraycopy(trail, 1, trail, 0, --trailLength);
    trail[trailLength++] = top;
    top = trailTop = bottom;
  }

  /**
   * The page that paging forward left for this one, so that back undoes forward even where
   * pictures make pages of different line counts; else the fullest page that ends at top. The
   * trail leads to trailTop, where the last page turn left the reader.
   */
  private int pageBack() {
    if (trailLength > 0 && trailTop == top) return trailTop = trail[--trailLength];
    trailLength = 0;
    return pageBefore(top);
  }

  /** Height of a line's content: the letter cell, or the picture. */
  private int lineHeight(int p) {
    if (!pictureAt(p)) return cellHeight;
    int code = at(p + 1), type = code >> 12;
    if (code != pictureCode) {
      pictureCode = code;
      pictureImage = null;
      try {
        String name = "/pic" + (code & 4095) + ".jpg.png.gif.bmp".substring(type * 4 - 4, type * 4);
        pictureImage = Image.createImage(name);
      } catch (Throwable cannotShow) {
      }
    }
    if (pictureImage == null) return 2 * cellHeight + lineSpacing;
    return Math.min(rotated ? pictureImage.getWidth() : pictureImage.getHeight(), pageHeight - 1);
  }

  /** Lays out the page from top: its lines' starts into lineStarts, then bottom. */
  private void layoutPage() {
    lineCount = 0;
    layoutFrom(top, top, 1);
  }

  /**
   * Lays out the page from `first` on from its line at p, at y, after the lineCount lines that
   * lineStarts holds: as many lines as fit, then bottom.
   */
  private void layoutFrom(int first, int p, int y) {
    int n = lineCount;
    while (p < length && n < lineStarts.length - 1) {
      int h = lineHeight(p);
      if (n > 0 && y + h > pageHeight) break;
      lineStarts[n++] = p;
      y += h + lineSpacing;
      p = lineEnd(p);
    }
    lineStarts[n] = bottom = p;
    lineCount = n;
    laidTop = first;
  }

  // ---- Drawing.

  /** Called by the canvas. */
  void paint(Graphics g) {
    measurePage();
    g.setColor(backColor);
    g.fillRect(0, 0, screenWidth, screenHeight);
    if (splash != null) {
      g.drawImage(splash, screenWidth / 2, screenHeight / 2, Graphics.HCENTER | Graphics.VCENTER);
    }
    if (stage != READING) return;
    if (laidTop != top) layoutPage();
    if (phoneFont != null) {
      g.setFont(phoneFont);
    } else if (gatheredTop != top) {
      gatherGlyphs();
    }
    for (int i = 0, y = 1; i < lineCount; i++) {
      int h = lineHeight(lineStarts[i]);  // loads the line's picture
      drawLine(g, lineStarts[i], lineStarts[i + 1], y);
      y += h + lineSpacing;
    }
    unclip(g);
  }

  private void drawLine(Graphics g, int p, int end, int y) {
    if (pictureAt(p)) {
      unclip(g);
      drawPicture(g, at(p + 1) & 4095, y);
      return;
    }
    boolean rtl = false;
    for (int i = p; i < end && !rtl; i++) {
      int c = at(i);
      rtl = c >= 0x600 && c < 0x800;
    }
    int x = rtl ? pageWidth : 1, baseX = x, baseWidth = 0;
    int hitEnd = hit < 0 ? -1 : hit + query.length();
    for (int i = p; i < end; i++) {
      int c = at(i), index = 0, w;
      if (c < 32) continue;
      boolean marked = i >= hit && i < hitEnd;
      if (phoneFont != null) {
        w = phoneFont.charWidth((char) c);
      } else {
        index = slot(glyphCode, glyphInfo, c);
        w = glyphInfo[index] & 255;
        if ((glyphInfo[index] & MARK) != 0) {  // over the letter before it, in the middle
          unclip(g);
          int ink = marked ? backColor : textColor;
          drawInk(g, screenWidth, c, w, baseX + (baseWidth - w) / 2, y, ink);
          continue;
        }
      }
      if (rtl) x -= w + charSpacing;
      drawLetter(g, c, index, x, y, w, marked);
      baseX = x;
      baseWidth = w;
      if (!rtl) x += w + charSpacing;
    }
  }

  /**
   * One letter, opaque: its cell in the back colour, then the glyph (inverted when marked). A
   * glyph is drawn once into a cell of the atlas and from then on copied from there.
   */
  private void drawLetter(Graphics g, int c, int index, int x, int y, int w, boolean marked) {
    int cell = phoneFont == null && !marked ? atlasCell(c, index, w) : -1;
    if (cell >= 0) {
      int ax = cell % cellsPerRow * cellWidth, ay = cell / cellsPerRow * cellHeight;
      if (rotated) {
        g.setClip(screenWidth - y - cellHeight, x, cellHeight, w);
        g.drawImage(atlas, ay - y + screenWidth - atlasRight, x - ax, Graphics.TOP | Graphics.LEFT);
      } else {
        g.setClip(x, y, w, cellHeight);
        g.drawImage(atlas, x - ax, y - ay, Graphics.TOP | Graphics.LEFT);
      }
      return;
    }
    unclip(g);
    g.setColor(marked ? textColor : backColor);
    fill(g, screenWidth, x, y, w, cellHeight);
    g.setColor(marked ? backColor : textColor);
    if (phoneFont != null) {
      g.drawChar((char) c, x, y, Graphics.TOP | Graphics.LEFT);
    } else {
      drawInk(g, screenWidth, c, w, x, y, marked ? backColor : textColor);
    }
  }

  /**
   * The atlas cell that holds letter c's glyph (at index in the glyph index), drawn into it now
   * when it is new; -1 when it has none. A new glyph takes the first cell the hand finds that is
   * not on this page and was not used since the hand last passed it.
   */
  private int atlasCell(int c, int index, int w) {
    int cell = (glyphCell[index] & 255) - 1;
    if (cell >= 0 || w > cellWidth || cellPage == null || atlasFull == page) {
      return cell < RARE ? cell : -1;
    }
    for (int tries = 2 * cellPage.length; tries > 0 && cell < 0; tries--) {
      int s = hand;
      hand = (hand + 1) % cellPage.length;
      if (cellPage[s] == 0) {
        cell = s;
      } else if (cellPage[s] != page) {
        cellPage[s] = 0;  // a second chance
      }
    }
    if (cell < 0) {
      atlasFull = page;  // every cell holds a letter of this page
      return -1;
    }
    if (cellOwner[cell] != 0) glyphCell[cellOwner[cell] - 1] = 0;
    cellOwner[cell] = (char) (index + 1);
    glyphCell[index] = (byte) (cell + 1);
    cellPage[cell] = page;
    int ax = cell % cellsPerRow * cellWidth, ay = cell / cellsPerRow * cellHeight;
    atlasGraphics.setColor(backColor);
    fill(atlasGraphics, atlasRight, ax, ay, w, cellHeight);
    drawInk(atlasGraphics, atlasRight, c, w, ax, ay, textColor);
    return cell;
  }

  /**
   * The ink of letter c's glyph, w columns from the page store, its cell's top left corner at
   * (x, y): each run of ink in a column is one rectangle.
   */
  private void drawInk(Graphics g, int right, int c, int w, int x, int y, int color) {
    int columns = pageAt[slot(pageCode, pageAt, c)] - 1;
    if (columns < 0) return;
    g.setColor(color);
    byte[] row = ROW;
    boolean turned = rotated;
    for (int end = x + w; x < end; x++) {
      int bits = pageColumns[columns++];  // bit y is ink in row y
      while (bits != 0) {
        int low = bits & -bits, above = bits + low;  // the run carries into the bit above it
        int first = row[low * 0x077CB531 >>> 27];
        int n = (above == 0 ? 32 : row[(above & -above) * 0x077CB531 >>> 27]) - first;
        bits &= above;
        if (turned) {
          g.fillRect(right - y - first - n, x, n, 1);
        } else {
          g.fillRect(x, y + first, 1, n);
        }
      }
    }
  }

  /**
   * A rectangle of page coordinates on the screen (right: its width) or the atlas; a landscape
   * page runs down the screen, its top at the right.
   */
  private void fill(Graphics g, int right, int x, int y, int w, int h) {
    if (rotated) {
      g.fillRect(right - y - h, x, h, w);
    } else {
      g.fillRect(x, y, w, h);
    }
  }

  private void unclip(Graphics g) {
    g.setClip(0, 0, screenWidth, screenHeight);
  }

  private void drawPicture(Graphics g, int number, int y) {
    int middle = pageWidth / 2;
    if (pictureImage != null) {
      if (rotated) {
        g.drawImage(pictureImage, screenWidth - y, middle, Graphics.RIGHT | Graphics.VCENTER);
      } else {
        g.drawImage(pictureImage, middle, y, Graphics.TOP | Graphics.HCENTER);
      }
      return;
    }
    int left = pageWidth / 4, w = pageWidth / 2, h = Math.min(2 * cellHeight, pageHeight - y);
    g.setColor(0);
    fill(g, screenWidth, left, y, w, h);
    g.setColor(0xFFFF00);
    fill(g, screenWidth, left + 2, y + 2, w - 4, h - 4);
    g.setColor(0);
    g.setFont(Font.getDefaultFont());
    String label = "#" + number;
    if (rotated) {
      g.drawString(label, screenWidth - y - h / 2, middle, Graphics.TOP | Graphics.HCENTER);
    } else {
      g.drawString(label, middle, y + 2, Graphics.TOP | Graphics.HCENTER);
    }
    if (phoneFont != null) g.setFont(phoneFont);
  }

  // ---- Keys and menus.

  /** Called by the canvas. */
  void key(int code) {
    if (stage == SPLASH) {
      leaveSplash();
      return;
    }
    if (stage != READING || screen != CANVAS) return;
    int action = 0;
    try {
      action = canvas.getGameAction(code);
    } catch (Exception noGameKey) {
    }
    measurePage();
    if (laidTop != top) layoutPage();  // the page on screen was laid out by paint
    boolean forward = action == Canvas.DOWN || action == (rotated ? Canvas.LEFT : Canvas.RIGHT);
    boolean backward = action == Canvas.UP || action == (rotated ? Canvas.RIGHT : Canvas.LEFT);
    if (code == Canvas.KEY_NUM1) {
      top = start;
    } else if (code == Canvas.KEY_NUM7) {
      top = pageBefore(length);
    } else if (code == Canvas.KEY_NUM2) {
      top = prevLine(top);
    } else if (code == Canvas.KEY_NUM8) {
      top = Math.min(lineEnd(top), Math.max(top, pageBefore(length)));
    } else if (code == Canvas.KEY_NUM4 || code != Canvas.KEY_NUM6 && backward) {
      top = pageBack();
    } else if (code == Canvas.KEY_NUM6 || forward) {
      if (bottom < length) pageForward();
    } else if (code == Canvas.KEY_NUM5 || action == Canvas.FIRE || code < 0) {
      showMenu();
      return;
    }
    canvas.repaint();
  }

  public void commandAction(Command c, Displayable d) {
    int choice = d instanceof List ? ((List) d).getSelectedIndex() : -1;
    String typed = d instanceof TextBox ? ((TextBox) d).getString() : "";
    if (c == exit) {
      saveState();
      notifyDestroyed();
    } else if (c == back) {
      read();
    } else if (screen == CANVAS) {
      showMenu();
    } else if (screen == MENU) {
      menu(choice);
    } else if (screen == CONTENTS && targets[choice] < 0) {
      String where = "In part " + -targets[choice] + ": " + bookName + -targets[choice];
      display.setCurrent(new Alert("Contents", where, null, null), d);
    } else if (screen == CONTENTS || screen == MARKS && c != delete && choice > 0) {
      hit = -1;
      goTo(targets[choice]);
    } else if (screen == MARKS && (c != delete || choice > 0)) {
      changeMarks(c == delete ? choice - 1 : -1);
    } else if (screen == GO_TO) {
      // A position on the last page shows the whole last page, as key 7 does.
      goTo(Math.min((int) ((long) length * Math.min(number(typed), 100) / 100), pageBefore(length)));
    } else if (screen == SEARCH) {
      query = typed;
      search();
    } else if (screen == ASK) {
      int p = number(typed);
      if (check(p) != checkValue) {
        display.setCurrent(new Alert("Password", "Wrong password", null, null), d);
        return;
      }
      if (passwordMode == 1) rememberedKey = p & 0xFFFF;
      saveState();
      openBook(p);
    }
  }

  private void menu(int item) {
    if (item == 0) {
      showContents();
    } else if (item == 1) {
      show(new TextBox("Go to %", "", 3, TextField.NUMERIC), GO_TO, ok);
    } else if (item == 2) {
      showMarks();
    } else if (item == 3) {
      show(new TextBox("Search", query, 40, TextField.ANY), SEARCH, ok);
    } else if (item == 4) {
      Form form = new Form("Info");
      form.append(info + "\nFont: " + fontName + "\n" + toolName + "\nRead: "
                  + (length > 0 ? (int) ((long) top * 100 / length) : 0) + "%\n" + KEYS);
      show(form, INFO, back);
    } else {
      saveState();
      notifyDestroyed();
    }
  }

  private void showMenu() {
    List list = new List("Menu", List.IMPLICIT);
    for (int i = 0; i < MENU_ITEMS.length; i++) list.append(MENU_ITEMS[i], null);
    show(list, MENU, back);
  }

  /**
   * The whole book's headings, indented by level: cfg.dat gives their positions in the book and
   * levels, toc.dat their titles, the part of each, this part's number and its offset in the book.
   * An entry of this part holds its position here, one of another part minus that part's number.
   */
  private void showContents() {
    List list = new List("Contents", List.IMPLICIT);
    targets = new int[headings.length];
    try {
      DataInputStream in = new DataInputStream(getClass().getResourceAsStream("/toc.dat"));
      int part = in.readInt(), offset = in.readInt();
      bookName = readText(in);
      in.readInt();  // the count of headings, as in cfg.dat
      for (int i = 0; i < headings.length; i++) {
        int holder = in.readInt();
        StringBuffer title = new StringBuffer();
        for (int level = headings[i] & 255; level > 1; level--) title.append("  ");
        list.append(title.append(readText(in)).toString(), null);
        targets[i] = holder == part ? (headings[i] >>> 8) - offset : -holder;
      }
      in.close();
    } catch (Exception damaged) {
      list = new List("Contents", List.IMPLICIT);
    }
    boolean listed = list.size() > 0;
    if (!listed) list.append("No contents", null);
    show(list, listed ? CONTENTS : INFO, back);
  }

  /** The text from position p to the end of its line, at most 30 letters, after prefix. */
  private String excerpt(StringBuffer prefix, int p) {
    for (int n = 0; p < length && n < 30; p++, n++) {
      int c = at(p);
      if (pictureAt(p)) {
        p += 2;
      } else if ((c == 10 || c == 13) && n > 0) {
        break;
      } else if (c >= 32) {
        prefix.append((char) c);
      }
    }
    return prefix.toString();
  }

  private void showMarks() {
    List list = new List("Bookmarks", List.IMPLICIT);
    list.append("Add bookmark", null);
    targets = new int[marks.length + 1];
    Image point = null;
    try {
      point = Image.createImage("/point.png");
    } catch (Exception noMarker) {
    }
    for (int i = 0; i < marks.length; i++) {
      targets[i + 1] = marks[i];
      list.append(excerpt(new StringBuffer((int) ((long) marks[i] * 100 / length) + "% "), marks[i]),
                  point);
    }
    show(list, MARKS, back).addCommand(delete);
  }

  /** Adds the page start as a bookmark (removed < 0) or deletes bookmark number removed. */
  private void changeMarks(int removed) {
    if (removed >= marks.length) return;
    int[] changed = new int[removed < 0 ? marks.length + 1 : marks.length - 1];
    for (int i = 0, j = 0; i < marks.length; i++) {
      if (i != removed) changed[j++] = marks[i];
    }
    if (removed < 0) changed[marks.length] = top;
    marks = changed;
    saveState();
    showMarks();
  }

  /**
   * The next occurrence of the query, ignoring case of Latin and Cyrillic letters; when there is
   * none up to the part's end, the first one from the part's start.
   */
  private void search() {
    gatheredTop = -1;  // the marked letters change
    int from = hit >= top && hit < bottom ? hit + 1 : top, p = find(from, length);
    String note = null;
    if (p < 0 && (p = find(start, from)) >= 0) note = "Search continued from the beginning";
    if (p < 0) {
      hit = -1;
      display.setCurrent(new Alert("Search", "Not found", null, null), canvas);
      screen = CANVAS;
      return;
    }
    hit = p;
    goTo(p);
    if (note != null) display.setCurrent(new Alert("Search", note, null, null), canvas);
  }

  /** Where the query first begins at a position from `from` up to (not including) `to`; -1. */
  private int find(int from, int to) {
    int n = query.length();
    for (int p = from; n > 0 && p < to && p + n <= length; p++) {
      int k = 0;
      while (k < n && lower(at(p + k)) == lower(query.charAt(k))) k++;
      if (k == n) return p;
    }
    return -1;
  }

  static int lower(int c) {
    if (c >= 'A' && c <= 'Z' || c >= 0x410 && c < 0x430) return c + 32;
    if (c >= 0x400 && c < 0x410) return c + 80;
    return c;
  }

  /** A decimal number; overflow keeps the low bits, which is all a password key needs. */
  static int number(String s) {
    int value = 0;
    for (int i = 0; i < s.length(); i++) {
      char c = s.charAt(i);
      if (c >= '0' && c <= '9') value = value * 10 + c - '0';
    }
    return s.startsWith("-") ? -value : value;
  }

  private void goTo(int p) {
    if (length > 0) top = align(p);
    read();
  }

  private void read() {
    screen = CANVAS;
    display.setCurrent(canvas);
    canvas.repaint();
  }

  private Displayable show(Displayable d, int kind, Command c) {
    screen = kind;
    d.addCommand(c);
    d.setCommandListener(this);
    display.setCurrent(d);
    return d;
  }
}
