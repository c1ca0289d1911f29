package javax.microedition.lcdui;
public class StringItem extends Item {
  public StringItem(String label, String text) {}
  public native String getText();
  public native void setText(String text);
}
