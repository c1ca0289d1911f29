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
 * The part is never loaded whole: letters come from the 4096-letter book files, of which at
 * most three stay in memory, and glyph columns from the 2048-word font files, one at a time.
 * The letters of a CJK page come from many font files, so a page's glyph columns are gathered
 * in the order of the font data before it is drawn, and kept while it is on screen.
 * A page is laid out from its first letter `top`, the way the tool's screen preview does it.
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
 * - file cache: the slots of book and font files that at, word and chunk share, the glyph
 *   columns of the page on screen, and the one picture that lineHeight keeps;
 * - paging and search: stage, the part's first letter shown, top and bottom of the page, trail,
 *   the page size, hit, query;
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
  private static final int BOOK = 0, FONT = 3;  // first cache slot of each kind of file

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

  // Glyph index of the font files: open hash from letter code to column offset << 8 | width.
  private char[] glyphCode;
  private int[] glyphInfo;
  private int glyphCount;

  // Book files in slots 0 to 2, least recently used one replaced; a font file in slot 3.
  private final int[] slotFile = new int[4];
  private final char[][] slotData = new char[4][];
  private final int[] slotUse = new int[4];
  private final byte[] readBuffer = new byte[8192];
  private int useClock;
  private char[] bookText;       // the book file that `at` read last
  private int bookFile = -1;

  // Glyph columns of the letters on the page last drawn: open hash from letter code to 1 + where
  // its columns start in pageColumns.
  private char[] pageCode = new char[1];
  private int[] pageAt = new int[1];
  private int[] pageColumns;

  private int pictureCode = -1;  // the picture held in pictureImage (null: cannot be shown)
  private Image pictureImage;

  // Paging and search.
  private int stage, start, top, bottom, hit = -1;
  private final int[] trail = new int[16];  // tops of the pages that paging forward left
  private int trailLength;
  private int screenWidth, pageWidth, pageHeight;
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
    if (chunk(FONT, 0) == null) {
      phoneFont = Font.getDefaultFont();
      cellHeight = phoneFont.getHeight();
    } else {
      loadFontIndex();
    }
    measurePage();
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
    if (p < 0 || p >= length) return 0;
    if (p >> 12 != bookFile) {
      bookText = chunk(BOOK, p >> 12);
      bookFile = p >> 12;
    }
    return bookText == null ? 0 : bookText[p & 4095];
  }

  /** Word i of the font data. */
  private int word(int i) {
    char[] data = chunk(FONT, i >> 11);
    i = (i & 2047) * 2;
    return data[i] << 16 | data[i + 1];
  }

  /** Book or font file n as 4096 16-bit units, from the cache or read now; null if missing. */
  private char[] chunk(int kind, int n) {
    int id = (kind << 16 | n) + 1, oldest = kind;
    for (int s = kind; s < (kind == BOOK ? FONT : FONT + 1); s++) {
      if (slotFile[s] == id) {
        slotUse[s] = ++useClock;
        return slotData[s];
      }
      if (slotUse[s] < slotUse[oldest]) oldest = s;
    }
    int got = 0;
    try {
      InputStream in = getClass().getResourceAsStream((kind == BOOK ? "/book" : "/font") + n + ".dat");
      for (int r; got < 8192 && (r = in.read(readBuffer, got, 8192 - got)) > 0; ) got += r;
      in.close();
    } catch (Exception missing) {
      return null;
    }
    char[] data = slotData[oldest];
    if (data == null) data = slotData[oldest] = new char[4096];
    int mask = kind == BOOK ? key : 0;
    for (int i = 0; i + 1 < got; i += 2) {
      data[i / 2] = (char) ((readBuffer[i] << 8 | readBuffer[i + 1] & 255) ^ mask);
    }
    slotFile[oldest] = id;
    slotUse[oldest] = ++useClock;
    return data;
  }

  /** Walks the sixteen letter groups of the font data once and indexes every glyph. */
  private void loadFontIndex() {
    cellHeight = word(0);
    glyphCode = new char[64];
    glyphInfo = new int[64];
    for (int group = 0, i = 1; group < 16; group++) {
      int end = i + 1 + word(i);
      for (i++; i < end; i += 2 + word(i + 1)) addGlyph(word(i), (i + 2) << 8 | word(i + 1) & 255);
    }
  }

  private void addGlyph(int code, int where) {
    if (glyphCount * 2 >= glyphCode.length) {
      char[] oldCode = glyphCode;
      int[] oldInfo = glyphInfo;
      glyphCode = new char[oldCode.length * 2];
      glyphInfo = new int[oldCode.length * 2];
      glyphCount = 0;
      for (int i = 0; i < oldCode.length; i++) {
        if (oldInfo[i] != 0) addGlyph(oldCode[i], oldInfo[i]);
      }
    }
    int s = slot(glyphCode, glyphInfo, code);
    glyphCode[s] = (char) code;
    glyphInfo[s] = where;
    glyphCount++;
  }

  /** The slot of code in an open hash of codes and non-zero values: its own, or an empty one. */
  static int slot(char[] codes, int[] values, int code) {
    int mask = codes.length - 1, s = code & mask;
    while (values[s] != 0 && codes[s] != code) s = s + 1 & mask;
    return s;
  }

  /** Column offset << 8 | width of a letter's glyph; 0 for a letter the font lacks. */
  private int glyph(int c) {
    return glyphInfo[slot(glyphCode, glyphInfo, c)];
  }

  /** Whether the page store holds the glyph columns of every letter from `from` to `to`. */
  private boolean pageHas(int from, int to) {
    for (int p = from; p < to; p++) {
      int c = at(p);
      if (pictureAt(p)) {
        p += 2;
      } else if (c >= 32 && glyph(c) != 0 && pageAt[slot(pageCode, pageAt, c)] == 0) {
        return false;
      }
    }
    return true;
  }

  /**
   * Makes the page store hold the glyph columns of the letters from `from` to `to`, and only
   * those: columns it held already are kept, the others are read in font file order, so that each
   * font file is read at most once.
   */
  private void gatherGlyphs(int from, int to) {
    if (phoneFont != null || pageHas(from, to)) return;
    int size = 4, columns = 0, lastFile = 0;
    while (size < 2 * Math.min(to - from, glyphCount)) size <<= 1;
    char[] codes = new char[size];
    int[] starts = new int[size];
    for (int p = from; p < to; p++) {
      int c = at(p), info = glyph(c), s = slot(codes, starts, c);
      if (pictureAt(p)) {
        p += 2;
      } else if (c >= 32 && info != 0 && starts[s] == 0) {
        codes[s] = (char) c;
        starts[s] = columns + 1;
        columns += info & 255;
        lastFile = Math.max(lastFile, (info >> 8) + (info & 255) - 1 >> 11);
      }
    }
    int[] gathered = new int[columns];
    for (int file = -1; file <= lastFile; file++) {  // -1: the columns at hand
      for (int s = 0; s < size; s++) {
        int info = glyph(codes[s]), column = info >> 8, w = info & 255;
        int kept = pageAt[slot(pageCode, pageAt, codes[s])], into = starts[s] - 1;
        if (into < 0 || kept != 0 && file >= 0) continue;
        if (kept != 0) System.arraycopy(pageColumns, kept - 1, gathered, into, w);
        for (int dx = 0; kept == 0 && dx < w; dx++) {
          if (column + dx >> 11 == file) gathered[into + dx] = word(column + dx);
        }
      }
    }
    pageCode = codes;
    pageAt = starts;
    pageColumns = gathered;
  }

  private int width(int c) {
    return phoneFont != null ? phoneFont.charWidth((char) c) : glyph(c) & 255;
  }

  // ---- Layout.

  private void measurePage() {
    screenWidth = canvas.getWidth();
    rotated = !portrait && phoneFont == null;
    pageWidth = rotated ? canvas.getHeight() : screenWidth;
    pageHeight = rotated ? screenWidth : canvas.getHeight();
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
      x += width(c) + charSpacing;
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

  /** The start of the line that holds letter p - 1, found by laying out its paragraph. */
  private int prevLine(int p) {
    if (p <= start) return start;
    int s = p - 1;
    while (s > start && !afterLineEnd(s) && p - s < 4096) s--;
    for (int e; (e = lineEnd(s)) < p; ) s = e;
    return s;
  }

  /** The start of the line that holds letter p. */
  private int align(int p) {
    return prevLine(Math.min(p, length - 1) + 1);
  }

  /** The first line of the page whose last line ends at p. */
  private int pageBefore(int p) {
    int q = p, need = 1 - lineSpacing;
    while (q > start) {
      int r = prevLine(q);
      need += lineHeight(r) + lineSpacing;
      if (need > pageHeight && q < p) break;
      q = r;
    }
    return q;
  }

  private void pageForward() {
    if (trailLength == trail.length) System.arraycopy(trail, 1, trail, 0, --trailLength);
    trail[trailLength++] = top;
    top = bottom;
  }

  /**
   * The page that paging forward left for this one, so that back undoes forward even where
   * pictures make pages of different line counts; else the fullest page that ends at top.
   */
  private int pageBack() {
    if (trailLength > 0 && layout(null, trail[trailLength - 1]) == top) return trail[--trailLength];
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

  /** Lays out the page from first, drawing it when g is set; returns where the next page starts. */
  private int layout(Graphics g, int first) {
    int y = 1, p = first;
    while (p < length) {
      int h = lineHeight(p);
      if (p > first && y + h > pageHeight) break;
      int end = lineEnd(p);
      if (g != null) drawLine(g, p, end, y);
      y += h + lineSpacing;
      p = end;
    }
    return p;
  }

  // ---- Drawing.

  /** Called by the canvas. */
  void paint(Graphics g) {
    measurePage();
    g.setColor(backColor);
    g.fillRect(0, 0, screenWidth, canvas.getHeight());
    if (splash != null) {
      g.drawImage(splash, screenWidth / 2, canvas.getHeight() / 2, Graphics.HCENTER | Graphics.VCENTER);
    }
    if (stage != READING) return;
    if (phoneFont != null) g.setFont(phoneFont);
    bottom = layout(null, top);
    gatherGlyphs(top, bottom);
    layout(g, top);
  }

  private void drawLine(Graphics g, int p, int end, int y) {
    if (pictureAt(p)) {
      drawPicture(g, at(p + 1) & 4095, y);
      return;
    }
    boolean rtl = false;
    for (int i = p; i < end; i++) rtl |= at(i) >= 0x600 && at(i) < 0x800;
    int x = rtl ? pageWidth : 1;
    for (int i = p; i < end; i++) {
      int c = at(i);
      if (c < 32) continue;
      int w = width(c);
      if (rtl) x -= w + charSpacing;
      drawLetter(g, c, x, y, w, hit >= 0 && i >= hit && i < hit + query.length());
      if (!rtl) x += w + charSpacing;
    }
  }

  /** One letter, opaque: its cell in the back colour, then the glyph (inverted when marked). */
  private void drawLetter(Graphics g, int c, int x, int y, int w, boolean marked) {
    g.setColor(marked ? textColor : backColor);
    fill(g, x, y, w, cellHeight);
    g.setColor(marked ? backColor : textColor);
    if (phoneFont != null) {
      g.drawChar((char) c, x, y, Graphics.TOP | Graphics.LEFT);
      return;
    }
    int columns = pageAt[slot(pageCode, pageAt, c)] - 1;
    for (int dx = 0; dx < w && columns >= 0; dx++) {
      int bits = pageColumns[columns + dx], row = 0;  // bit y is ink in row y
      while (bits != 0) {
        for (; (bits & 1) == 0; bits >>>= 1) row++;
        int first = row;
        for (; (bits & 1) != 0; bits >>>= 1) row++;
        fill(g, x + dx, y + first, 1, row - first);
      }
    }
  }

  /** A rectangle of page coordinates; a landscape page runs down the screen, its top at the right. */
  private void fill(Graphics g, int x, int y, int w, int h) {
    if (rotated) {
      g.fillRect(screenWidth - y - h, x, h, w);
    } else {
      g.fillRect(x, y, w, h);
    }
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
    fill(g, left, y, w, h);
    g.setColor(0xFFFF00);
    fill(g, left + 2, y + 2, w - 4, h - 4);
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
    bottom = layout(null, top);
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
