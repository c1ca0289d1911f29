import java.io.DataInputStream;
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
import javax.microedition.midlet.MIDlet;
import javax.microedition.rms.RecordStore;

/**
 * The photo-book viewer: picture i of the gallery ("i.ext") centred on the back colour, with
 * its note below it or over it. One picture is held in memory at a time.
 */
public class TBookMIDlet extends MIDlet implements CommandListener, Runnable {
  private static final String[] MENU_ITEMS = {"Slideshow", "Info", "Exit"};
  private static final String KEYS = "Keys: 4/6 picture, 5 note, 1 first, 7 last, 0 slideshow";
  private static final String STORE = "velkaro";

  private int count, backColor, index;
  private String info, version;
  private String[] extensions, notes;

  private boolean noteShown = true;
  private Thread slideshow;  // the thread that advances the slideshow; null when it is off
  private Image image;
  private int imageIndex = -1;

  private Display display;
  private Canvas canvas;
  private Image splash;
  private final Command menuCommand = new Command("Menu", Command.SCREEN, 1);
  private final Command back = new Command("Back", Command.BACK, 2);

  protected void startApp() {
    if (display != null) return;
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
      splash = Image.createImage("/splash.png");
    } catch (Exception noSplash) {
    }
    loadState();
    display.setCurrent(canvas);
    if (splash != null) new Thread(this).start();
  }

  protected void pauseApp() {
    slideshow = null;
  }

  protected void destroyApp(boolean unconditional) {
    saveState();
  }

  private void readSettings() throws Exception {
    DataInputStream in = new DataInputStream(getClass().getResourceAsStream("/cfg.dat"));
    count = in.readInt();
    for (int i = 0; i < 3; i++) backColor = backColor << 8 | in.readInt() & 255;
    info = readText(in);
    version = readText(in);
    extensions = new String[count];
    notes = new String[count];
    for (int i = 0; i < count; i++) {
      extensions[i] = readText(in);
      notes[i] = readText(in);
    }
    in.close();
  }

  static String readText(DataInputStream in) throws Exception {
    char[] text = new char[in.readInt()];
    for (int i = 0; i < text.length; i++) text[i] = in.readChar();
    return new String(text);
  }

  private void loadState() {
    try {
      RecordStore store = RecordStore.openRecordStore(STORE, true);
      byte[] record = store.getNumRecords() > 0 ? store.getRecord(1) : new byte[1];
      store.closeRecordStore();
      index = Math.min(record[0] & 255 | (record.length > 1 ? (record[1] & 255) << 8 : 0), count - 1);
    } catch (Exception nothingSaved) {
    }
  }

  private void saveState() {
    try {
      byte[] record = {(byte) index, (byte) (index >> 8)};
      RecordStore store = RecordStore.openRecordStore(STORE, true);
      if (store.getNumRecords() == 0) {
        store.addRecord(record, 0, 2);
      } else {
        store.setRecord(1, record, 0, 2);
      }
      store.closeRecordStore();
    } catch (Exception e) {
    }
  }

  /** Ends the splash after two seconds; as the slideshow thread, advances every four. */
  public void run() {
    Thread me = Thread.currentThread();
    do {
      try {
        Thread.sleep(splash != null ? 2000 : 4000);
      } catch (InterruptedException e) {
      }
      if (splash == null && slideshow == me) index = (index + 1) % count;
      splash = null;
      canvas.repaint();
    } while (slideshow == me);
  }

  /** Called by the canvas. */
  void paint(Graphics g) {
    int w = canvas.getWidth(), h = canvas.getHeight();
    g.setColor(backColor);
    g.fillRect(0, 0, w, h);
    if (splash != null) {
      g.drawImage(splash, w / 2, h / 2, Graphics.HCENTER | Graphics.VCENTER);
      return;
    }
    if (count == 0) return;
    if (imageIndex != index) {
      image = null;
      imageIndex = index;
      try {
        image = Image.createImage("/" + index + "." + extensions[index]);
      } catch (Throwable cannotShow) {
      }
    }
    Font font = Font.getDefaultFont();
    String[] lines = noteShown ? wrap(notes[index], font, w - 4) : new String[0];
    int noteHeight = lines.length * font.getHeight();
    int imageHeight = image != null ? image.getHeight() : 2 * font.getHeight();
    boolean below = imageHeight + noteHeight <= h;
    int y = below ? (h - imageHeight - noteHeight) / 2 : (h - imageHeight) / 2;
    if (image != null) {
      g.drawImage(image, w / 2, y, Graphics.TOP | Graphics.HCENTER);
    } else {
      g.setColor(0);
      g.fillRect(w / 4, y, w / 2, imageHeight);
      g.setColor(0xFFFF00);
      g.fillRect(w / 4 + 2, y + 2, w / 2 - 4, imageHeight - 4);
      g.setColor(0);
      g.drawString("#" + index, w / 2, y + 2, Graphics.TOP | Graphics.HCENTER);
    }
    y = below ? y + imageHeight : h - noteHeight;
    if (lines.length > 0 && !below) {
      g.setColor(backColor);
      g.fillRect(0, y, w, noteHeight);
    }
    int red = backColor >> 16, green = backColor >> 8 & 255, blue = backColor & 255;
    g.setColor(red * 3 + green * 6 + blue > 1280 ? 0 : 0xFFFFFF);
    g.setFont(font);
    for (int i = 0; i < lines.length; i++, y += font.getHeight()) {
      g.drawString(lines[i], w / 2, y, Graphics.TOP | Graphics.HCENTER);
    }
  }

  /** The note broken into lines of at most width pixels, at blanks where it can be. */
  static String[] wrap(String text, Font font, int width) {
    String[] lines = new String[text.length()];
    int n = 0;
    for (int start = 0; start < text.length(); n++) {
      int end = start, lastBlank = -1;
      while (end < text.length() && text.charAt(end) != '\n'
             && font.substringWidth(text, start, end - start + 1) <= width) {
        if (text.charAt(end) == ' ') lastBlank = end;
        end++;
      }
      if (end < text.length() && text.charAt(end) != '\n' && lastBlank > start) end = lastBlank;
      lines[n] = text.substring(start, Math.max(end, start + 1));
      start = Math.max(end, start + 1);
      if (start < text.length() && (text.charAt(start) == '\n' || text.charAt(start) == ' ')) start++;
    }
    String[] result = new String[n];
    System.arraycopy(lines, 0, result, 0, n);
    return result;
  }

  /** Called by the canvas. */
  void key(int code) {
    if (splash != null || slideshow != null) {
      splash = null;
      slideshow = null;
      canvas.repaint();
      return;
    }
    if (count == 0) return;
    int action = 0;
    try {
      action = canvas.getGameAction(code);
    } catch (Exception noGameKey) {
    }
    if (code == Canvas.KEY_NUM1) {
      index = 0;
    } else if (code == Canvas.KEY_NUM7) {
      index = count - 1;
    } else if (code == Canvas.KEY_NUM0) {
      startSlideshow();
    } else if (code == Canvas.KEY_NUM5 || action == Canvas.FIRE) {
      noteShown = !noteShown;
    } else if (code == Canvas.KEY_NUM6 || code == Canvas.KEY_NUM8 || action == Canvas.RIGHT
               || action == Canvas.DOWN) {
      index = (index + 1) % count;
    } else if (code == Canvas.KEY_NUM4 || code == Canvas.KEY_NUM2 || action == Canvas.LEFT
               || action == Canvas.UP) {
      index = (index + count - 1) % count;
    } else if (code < 0) {
      showMenu();
      return;
    }
    canvas.repaint();
  }

  private void startSlideshow() {
    if (count == 0) return;
    slideshow = new Thread(this);
    slideshow.start();
  }

  private void showMenu() {
    List list = new List("Menu", List.IMPLICIT);
    for (int i = 0; i < MENU_ITEMS.length; i++) list.append(MENU_ITEMS[i], null);
    show(list);
  }

  public void commandAction(Command c, Displayable d) {
    int choice = d instanceof List ? ((List) d).getSelectedIndex() : -1;
    if (c == menuCommand) {
      showMenu();
    } else if (c == back || choice == 0) {
      if (choice == 0) startSlideshow();
      display.setCurrent(canvas);
    } else if (choice == 1) {
      Form form = new Form("Info");
      form.append(info + "\nPictures: " + count + "\nVelkaro " + version + "\n" + KEYS);
      show(form);
    } else if (choice == 2) {
      saveState();
      notifyDestroyed();
    }
  }

  private void show(Displayable d) {
    d.addCommand(back);
    d.setCommandListener(this);
    display.setCurrent(d);
  }
}
